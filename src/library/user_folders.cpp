#include "library/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace velmora {

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

std::string PlayerFolder(const char* variable, const char* fallbackBelowHome) {
  std::string base;
  if (const char* value = std::getenv(variable); value && value[0] == '/') base = value;
  else base = HomeFolder() + "/" + fallbackBelowHome;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/velmora-player/";
}

}  // namespace

std::string UserConfigFolder() { return PlayerFolder("XDG_CONFIG_HOME", ".config"); }
std::string UserDataFolder() { return PlayerFolder("XDG_DATA_HOME", ".local/share"); }

std::string OwnFileTooLarge(const std::string& path) {
  return path + " is too large (more than " + std::to_string(kMaxOwnFileBytes >> 20) + " MB) and was not read";
}

}  // namespace velmora
