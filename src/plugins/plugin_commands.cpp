#include "plugins/plugin_commands.h"

#include "inventory/inventory.h"
#include "plugins/plugin_host.h"
#include "base/game.h"
#include "vars/var_store.h"

namespace velmora {

// $plugin.init Name: the name is used as written, not read as a variable.
void CmdPluginInit(Game& game, const TokenList& t, int32_t p) {
  const std::string& name = Arg(t, p + 1);
  LoadedPlugin* plugin = FindPlugin(game, name);
  // A plug-in without Initialize has nothing to call: it is reported like an unknown one.
  if (plugin && plugin->initializeEntry) {
    plugin->initializeEntry(&game.plugins->impl()->componentList, static_cast<TStrArray*>(game.vars->StrVarsAddress()),
                            static_cast<TIntArray*>(game.vars->IntVarsAddress()),
                            static_cast<TInv>(game.inventory->ArrayAddress()));
    // The plug-in may have renamed or rewritten records in place.
    game.vars->MemoryChangedExternally();
    game.WriteLog(1, "Plugin: " + std::string(plugin->Name()) + " initialized;");
  } else {
    game.WriteLog(2, "Could not initialize plugin " + name + "!");
  }
}

namespace {

// clang-format off
// Fixed(name, width, speed, handler)
constexpr CommandInfo kRows[] = {
  Fixed("$plugin.init", 2, kSlow, CmdPluginInit),  // initialise a loaded plug-in
};
// clang-format on

}  // namespace

CommandRows PluginCommands() { return kRows; }

}  // namespace velmora
