#pragma once
// The player's own folders, as the XDG base directory rules place them: settings such as
// the game library under $XDG_CONFIG_HOME (default ~/.config), data such as copies of
// read-only games under $XDG_DATA_HOME (default ~/.local/share), each in "velmora-player".
#include <cstddef>
#include <string>

namespace velmora {

// The player's own settings files (library.ini, plugins.ini, settings.ini) hold a few
// lines per game, plug-in or setting: one past this bound is no file of ours. It reads as
// empty and is never written over, and the player is told so.
constexpr size_t kMaxOwnFileBytes = size_t{16} << 20;
// "<path> is too large (more than 16 MB) and was not read".
std::string OwnFileTooLarge(const std::string& path);

// Both end with a separator. A variable that is unset, empty or not an absolute path
// counts as unset, as the rules ask.
std::string UserConfigFolder();
std::string UserDataFolder();

}  // namespace velmora
