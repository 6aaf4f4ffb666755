#pragma once
// Game text stays bytes in the game's code page everywhere in the core; it is converted
// only where it meets the screen (and back, for what the player types). Text that is
// valid UTF-8 and holds non-ASCII bytes is taken as UTF-8, so UTF-8 games work as well.
#include <string>
#include <string_view>

namespace velmora {

class TextCodec {
 public:
  explicit TextCodec(std::string codePage = "WINDOWS-1251");
  const std::string& CodePage() const { return codePage_; }
  // Game bytes to UTF-8 for display.
  std::string ToUtf8(std::string_view bytes) const;
  // UTF-8 typed by the player to game bytes; characters the code page lacks become '?'.
  std::string FromUtf8(std::string_view utf8) const;
  // Whether the game's own files are UTF-8 (set when the story file is UTF-8).
  void SetGameIsUtf8(bool on) { gameIsUtf8_ = on; }
  bool GameIsUtf8() const { return gameIsUtf8_; }

  static bool IsValidUtf8(std::string_view s);
  static bool HasHighBytes(std::string_view s);

 private:
  std::string Convert(std::string_view in, const char* to, const char* from) const;
  std::string codePage_;
  bool gameIsUtf8_ = false;
};

}  // namespace velmora
