#pragma once
// The main window as lines of UTF-8 text: what `show` prints in a replay and what the
// terminal player shows after every page change.
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class Game;

// caption, picture (its file name), the story text, the choices numbered from 1 as the
// list draws them (quotes removed, references substituted).
std::vector<std::string> DescribeMainWindow(Game& game);
// The page as a reader wants it in a terminal `width` columns wide: the caption as a
// heading (when there is one), the story text wrapped to the width, then the choices
// numbered from 1; the picture's file name only when `withPicture`.
std::vector<std::string> DescribePageForReader(Game& game, int width, bool withPicture);
// UTF-8 text broken at blanks into lines of at most `width` characters after `indent`
// (a longer word is cut); a blank line stays one.
std::vector<std::string> WrapText(std::string_view utf8, int width, const std::string& indent = {});

// The story so far: each page read (numbered from 1) with its text after "| " and the
// choice taken on it after "> ".
std::vector<std::string> DescribeHistory(Game& game);

// The last component of a path written with either separator.
std::string_view BaseName(std::string_view path);

}  // namespace velmora
