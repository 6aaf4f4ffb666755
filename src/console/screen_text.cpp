#include "console/screen_text.h"

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
