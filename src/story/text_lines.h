#pragma once
// A list of text lines as one text and back, the way the story text, choice items and
// descriptions move between the two: every line is followed by CR LF when joined, and a
// text splits at CR LF, CR or LF, with no extra empty line after a final line end.
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

std::string JoinLines(const std::vector<std::string>& lines);
std::vector<std::string> SplitLines(std::string_view text);
// True when a line holds a CR or LF, so joining and splitting would change the list.
bool HasLineBreak(std::string_view text);

}  // namespace velmora
