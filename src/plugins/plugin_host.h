#pragma once
// Plug-in libraries found in the "plugins" folder at start-up, and the component list
// they are handed.
#include <string>

namespace velmora {

class Game;

// Dynamic library loading, a platform interface.
class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  virtual void* Load(const std::string& path) = 0;  // null when it does not load
  virtual void* Symbol(void* library, const char* name) = 0;
  virtual void Unload(void* library) = 0;
};

class PluginHost {
 public:
  PluginHost();
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;
  struct Impl;
  Impl* impl() { return impl_; }

 private:
  Impl* impl_;
};

// Fills the component list with the four window objects a front end publishes
// (null in front ends without windows).
void BuildComponentList(Game& game, void* form, void* choiceMenu, void* storyText, void* storyPicture);
void LoadPlugins(Game& game);

}  // namespace velmora
