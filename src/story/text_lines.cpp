#include "story/text_lines.h"

namespace velmora {

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& line : lines) total += line.size() + 2;
  std::string text;
  text.reserve(total);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t p = 0;
  while (p < text.size()) {
    size_t end = text.find_first_of("\r\n", p);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(p, end - p));
    p = end;
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
  return lines;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace velmora
