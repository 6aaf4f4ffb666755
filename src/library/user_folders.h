#pragma once
// The player's own folders, as the XDG base directory rules place them: settings such as
// the game library under $XDG_CONFIG_HOME (default ~/.config), data such as copies of
// read-only games under $XDG_DATA_HOME (default ~/.local/share), each in "velmora-player".
#include <string>

namespace velmora {

// Both end with a separator. A variable that is unset, empty or not an absolute path
// counts as unset, as the rules ask.
std::string UserConfigFolder();
std::string UserDataFolder();

}  // namespace velmora
