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
// The story so far: each page read (numbered from 1) with its text after "| " and the
// choice taken on it after "> ".
std::vector<std::string> DescribeHistory(Game& game);

// The last component of a path written with either separator.
std::string_view BaseName(std::string_view path);

}  // namespace velmora
