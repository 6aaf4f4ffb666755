#include "console/screen_text.h"

#include <algorithm>

#include "base/game.h"
#include "base/main_window_state.h"
#include "story/choice_menu.h"

namespace velmora {

std::string_view BaseName(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::vector<std::string> DescribeMainWindow(Game& game) {
  const MainWindowState& window = *game.mainWindow;
  const TextCodec& codec = game.codec;
  std::vector<std::string> out;
  out.push_back("caption: " + codec.ToUtf8(window.caption));
  out.push_back("picture: " + (window.picture ? codec.ToUtf8(BaseName(window.pictureFile)) : std::string("none")));
  out.push_back(window.storyLines.empty() ? "text: (empty)" : "text:");
  for (const std::string& line : window.storyLines) out.push_back("  | " + codec.ToUtf8(line));
  const int count = static_cast<int>(window.choiceItems.size());
  out.push_back(count == 0 ? "choices: (none)" : "choices:");
  for (int k = 0; k < count; ++k) {
    const std::string number = std::to_string(k + 1) + ". ";
    const std::string indent(number.size(), ' ');
    const std::vector<std::string> lines = ChoiceLinesToDraw(game, k);
    if (lines.empty()) out.push_back("  " + number);
    for (size_t a = 0; a < lines.size(); ++a) out.push_back("  " + (a == 0 ? number : indent) + codec.ToUtf8(lines[a]));
  }
  return out;
}

namespace {

// Characters, not bytes: UTF-8 continuation bytes take no column.
size_t Columns(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

// The byte length of the first `columns` characters.
size_t BytesOf(std::string_view utf8, size_t columns) {
  size_t at = 0;
  for (size_t seen = 0; at < utf8.size(); ++at) {
    if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && seen++ == columns) break;
  }
  return at;
}

}  // namespace

std::vector<std::string> WrapText(std::string_view utf8, int width, const std::string& indent) {
  const size_t room = static_cast<size_t>(std::max(width - static_cast<int>(Columns(indent)), 10));
  std::vector<std::string> out;
  std::string line;
  const auto flush = [&] {
    out.push_back(indent + line);
    line.clear();
  };
  size_t at = 0;
  while (at < utf8.size()) {
    while (at < utf8.size() && (utf8[at] == ' ' || utf8[at] == '\t')) ++at;
    size_t end = at;
    while (end < utf8.size() && utf8[end] != ' ' && utf8[end] != '\t') ++end;
    if (end == at) break;
    std::string_view word = utf8.substr(at, end - at);
    at = end;
    while (Columns(word) > room) {  // a word longer than the line is cut
      if (!line.empty()) flush();
      const size_t cut = BytesOf(word, room);
      line = std::string(word.substr(0, cut));
      flush();
      word.remove_prefix(cut);
    }
    if (word.empty()) continue;
    if (!line.empty() && Columns(line) + 1 + Columns(word) > room) flush();
    if (!line.empty()) line += ' ';
    line += word;
  }
  if (!line.empty() || out.empty()) flush();
  return out;
}

std::vector<std::string> DescribePageForReader(Game& game, int width, bool withPicture) {
  const MainWindowState& window = *game.mainWindow;
  const TextCodec& codec = game.codec;
  std::vector<std::string> out;
  const std::string caption = codec.ToUtf8(window.caption);
  if (!caption.empty()) {
    out.push_back(caption);
    out.push_back(std::string(std::min<size_t>(Columns(caption), static_cast<size_t>(std::max(width, 1))), '='));
  }
  if (withPicture)
    out.push_back("(picture: " + (window.picture ? codec.ToUtf8(BaseName(window.pictureFile)) : std::string("none")) + ")");
  for (const std::string& line : window.storyLines)
    for (std::string& wrapped : WrapText(codec.ToUtf8(line), width)) out.push_back(std::move(wrapped));
  const int count = static_cast<int>(window.choiceItems.size());
  if (count > 0) out.emplace_back();
  for (int k = 0; k < count; ++k) {
    const std::string number = std::to_string(k + 1) + ". ";
    std::string text;
    for (const std::string& line : ChoiceLinesToDraw(game, k)) text += (text.empty() ? "" : " ") + codec.ToUtf8(line);
    std::vector<std::string> lines = WrapText(text, width, std::string(number.size() + 2, ' '));
    lines[0].replace(2, number.size(), number);
    for (std::string& line : lines) out.push_back(std::move(line));
  }
  return out;
}

std::vector<std::string> DescribeHistory(Game& game) {
  const TextCodec& codec = game.codec;
  std::vector<std::string> out;
  out.push_back(game.history.empty() ? "history: (empty)" : "history:");
  for (size_t k = 0; k < game.history.size(); ++k) {
    const PageRead& read = game.history[k];
    out.push_back("  " + std::to_string(k + 1) + ". " + codec.ToUtf8(read.page));
    for (const std::string& line : read.lines) out.push_back("     | " + codec.ToUtf8(line));
    if (!read.choice.empty()) out.push_back("     > " + codec.ToUtf8(read.choice));
  }
  return out;
}

}  // namespace velmora
