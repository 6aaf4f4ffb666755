#pragma once
// Plug-in libraries found in the "plugins" folder at start-up, and the component list
// they are handed.
//
// The list is built once and only grows; records, their strings and the libraries stay
// for the whole process: a plug-in's name and command text are its own counted strings,
// taken over when it stored them, and the library may have kept the addresses it was
// given. Nothing here is ever unloaded or freed on the plug-in's behalf.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "velmora/plugin.h"

namespace velmora {

class Game;

// One loaded plug-in.
struct LoadedPlugin {
  char* name = nullptr;  // counted string stored by GetPluginName
  double version = 0;    // GetDllVersion's result; 0 when the library lacks it
  std::string fileName;  // the entry's name in the folder, cut to 255 bytes
  void* library = nullptr;
  VelmoraInitializeProc initializeEntry = nullptr;         // null when missing
  VelmoraHookedCommandsProc hookedCommandsEntry = nullptr;  // null when missing
  void* processCommandEntry = nullptr;                      // null when missing; never called
  char* commandText = nullptr;                              // counted string stored by HookedCommands
  std::vector<std::string> commands;                        // commandText split into words

  std::string_view Name() const;
  std::string_view CommandText() const;
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

struct PluginHost::Impl {
  // The component list's block: header, then the four entries. Entries hold addresses,
  // so the block is kept on an 8-byte boundary.
  struct alignas(8) ComponentBlock {
    VelmoraArrayHeader header;
    TComponentEntry entries[4];
  };
  ComponentBlock componentBlock{};
  TComponentList componentList = nullptr;  // the variable whose address Initialize receives
  std::vector<std::unique_ptr<LoadedPlugin>> pluginList;  // load order
};

// Fills the component list with the four window objects a front end publishes
// (null in front ends without windows).
void BuildComponentList(Game& game, void* form, void* choiceMenu, void* storyText, void* storyPicture);
// Loads the libraries of the "plugins" folder below the current directory. The loader
// is used only while this runs: libraries that stay are never unloaded.
void LoadPlugins(Game& game);
// The last plug-in whose name matches by SameCommand, null when none.
LoadedPlugin* FindPlugin(Game& game, std::string_view name);

}  // namespace velmora
