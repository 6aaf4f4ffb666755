#include "run/command_language.h"

#include <array>
#include <string_view>

#include "audio/audio_commands.h"
#include "inventory/inventory_commands.h"
#include "plugins/plugin_commands.h"
#include "script/commands.h"
#include "story/story_commands.h"

namespace velmora {

namespace {

// The language's table, in its order. A command code is an index into it, so this order
// is what a token list's resolved codes mean.
// clang-format off
constexpr std::array<std::string_view, 64> kLanguageOrder = {
  "$plugin.init", "$while", "$cycle", "$inventory.show", "$action.SetState", "$inventory.hide", ".label", "$jump",
  "$run", "$inventory.add", "$inventory.remove", "$inventory.GetItemCount", "$inventory.Usable", "$inventory.Use",
  "$inventory.DisplayName", "$goto", "$sleep", "$int.set.clear", "$string.set.clear", "$int.set.find",
  "$int.set.CantFind", "$int.set.find.add", "$string.set.find", "$int.set.remove", "$string.set.remove",
  "$string.set.CantFind", "$str.set.find.add", "$player.stop", "$start", "$player.playtrack", "$string.new",
  "$string.set", "$string.get", "$string.notequal", "$string.equal", "$string.split", "$string.split.int",
  "$int.new", "$int.set", "$int.random", "$int.random.range", "$int.add", "$int.substrat", "$int.multiple",
  "$int.div", "$int.mod", "$int.notequal", "$int.equal", "$int.largerthan", "$int.largerthanorequal",
  "$int.smallerthan", "$int.smallerthanorequal", "$player.playsound", "$form.SetSize", "$form.SetPos",
  "$form.LoadTextFromPage", "$form.LoadTextFromFile", "$form.SetPic", "$player.SetVolume", "$player.SetBalance",
  "$player.stopsound", "$load", "$showmessage", "$exit",
};
// clang-format on

}  // namespace

const CommandTable& LanguageCommands() {
  static const CommandTable table(kLanguageOrder, {ControlCommands(), VariableCommands(), StoryCommands(),
                                                   InventoryCommands(), AudioCommands(), PluginCommands()});
  return table;
}

}  // namespace velmora
