#pragma once
// Control characters from game data made visible before they reach a terminal or a line
// of the log. A story is untrusted: an escape sequence in a choice could retitle the
// window, clear the screen or write the clipboard, and a line break inside a name would
// forge whole log lines. Each such character becomes a backslash escape ("\n", "\r",
// "\x1B"); tabs stay, since they change nothing but the layout.
#include <string>
#include <string_view>

namespace velmora {

// For text in the game's code page: C0 controls and DEL escaped, every other byte kept.
std::string EscapeControls(std::string_view bytes);

// For UTF-8 on its way to a terminal: also the C1 controls (U+0080 to U+009F) and bytes
// that are not UTF-8, which 8-bit terminals read as controls.
std::string VisibleUtf8(std::string_view utf8);

}  // namespace velmora
