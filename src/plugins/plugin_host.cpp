#include "plugins/plugin_host.h"

#include <optional>

#include "script/script_library.h"
#include "base/game.h"
#include "base/sha256.h"
#include "base/text.h"

namespace velmora {

namespace {

// Below the current directory, not the game folder.
constexpr std::string_view kFolder = "plugins";

std::string_view CountedText(const char* s) { return {s ? s : "", static_cast<size_t>(VelmoraStringLength(s))}; }

bool HasSuffix(std::string_view name, std::string_view suffix) {
  return name.size() >= suffix.size() && SameCommand(name.substr(name.size() - suffix.size()), suffix);
}

// The folder's entries of every kind whose names end in the library suffix, in the order
// the file system returns them; none when the folder is missing or cannot be read.
std::vector<std::string> MatchingEntries(GameFiles& files, std::string_view suffix) {
  std::vector<FolderEntry> entries;
  files.List(std::string(kFolder), entries);
  std::vector<std::string> out;
  for (FolderEntry& e : entries)
    if (HasSuffix(e.name, suffix)) out.push_back(std::move(e.name));
  return out;
}

// The library's bytes, read once: what is approved is what is loaded. Libraries are a
// few megabytes; the bound only keeps a device or a huge file out.
std::optional<std::string> ReadLibrary(Game& game, const std::string& path) {
  constexpr size_t kMaxPluginBytes = 256u << 20;
  FileRead read = game.files().Read(path, kMaxPluginBytes);
  if (!read.ok()) return std::nullopt;
  return std::move(read.bytes);
}

// Whether the front end lets the library with these bytes be loaded.
bool Approved(Game& game, const std::string& image, const std::string& entry) {
  if (!game.options.approvePlugin) return true;
  if (game.options.approvePlugin(game.dialogs(), entry, Sha256Hex(image))) return true;
  game.WriteLog(2, "Plugin " + entry + " not loaded: not trusted");
  return false;
}

template <typename Proc>
Proc Export(LibraryLoader& loader, void* library, const char* name) {
  return reinterpret_cast<Proc>(loader.Symbol(library, name));
}

}  // namespace

std::string_view LoadedPlugin::Name() const { return CountedText(name); }
std::string_view LoadedPlugin::CommandText() const { return CountedText(commandText); }

PluginHost::PluginHost() : impl_(new Impl) {}
PluginHost::~PluginHost() { delete impl_; }

void BuildComponentList(Game& game, void* form, void* choiceMenu, void* storyText, void* storyPicture) {
  PluginHost::Impl& host = *game.plugins->impl();
  const char* const names[4] = {VELMORA_FORM, VELMORA_CHOICEMENU, VELMORA_STORY_TEXT, VELMORA_STORY_PICTURE};
  void* const components[4] = {form, choiceMenu, storyText, storyPicture};
  auto& block = host.componentBlock;
  block.header = VelmoraArrayHeader{1, 4};
  for (int i = 0; i < 4; ++i) {
    VelmoraSetShortString(&block.entries[i].name, names[i]);
    block.entries[i].component = components[i];
  }
  host.componentList = block.entries;
}

void LoadPlugins(Game& game) {
  PluginHost::Impl& host = *game.plugins->impl();
  game.WriteLog(1, "Loading plugins..");
  LibraryLoader* loader = game.platform.libraries;
  if (!loader) return;
  const std::vector<std::string> entries = MatchingEntries(game.files(), loader->FileSuffix());
  if (entries.empty()) return;
  for (const std::string& entry : entries) {
    const std::string path = std::string(kFolder) + "/" + entry;
    const std::optional<std::string> image = ReadLibrary(game, path);
    if (!image || !Approved(game, *image, entry)) continue;
    std::string refusal;
    void* library = loader->Load(path, *image, refusal);
    if (!library) {
      if (!refusal.empty()) game.WriteLog(2, "Plugin " + entry + " not loaded: " + refusal);
      continue;
    }
    auto getName = Export<VelmoraGetPluginNameProc>(*loader, library, "GetPluginName");
    if (!getName) {
      loader->Unload(library);
      continue;
    }
    auto plugin = std::make_unique<LoadedPlugin>();
    auto getVersion = Export<VelmoraGetDllVersionProc>(*loader, library, "GetDllVersion");
    getName(&plugin->name);
    plugin->fileName = ShortStr(entry);
    game.WriteLog(1, plugin->fileName);
    // The exports after GetPluginName are optional here: a missing one is skipped
    // rather than called through a null address.
    if (getVersion) plugin->version = getVersion();
    plugin->library = library;
    plugin->initializeEntry = Export<VelmoraInitializeProc>(*loader, library, "Initialize");
    plugin->hookedCommandsEntry = Export<VelmoraHookedCommandsProc>(*loader, library, "HookedCommands");
    plugin->processCommandEntry = loader->Symbol(library, "ProcessCommand");
    if (plugin->hookedCommandsEntry) {
      plugin->hookedCommandsEntry(&plugin->commandText);
      plugin->commands = SplitTokens(plugin->CommandText());
    }
    host.pluginList.push_back(std::move(plugin));
  }
  game.WriteLog(1, "done!");
}

LoadedPlugin* FindPlugin(Game& game, std::string_view name) {
  auto& list = game.plugins->impl()->pluginList;
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if (SameCommand((*it)->Name(), name)) return it->get();
  return nullptr;
}

}  // namespace velmora
