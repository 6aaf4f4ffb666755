#include "script/command_table.h"

#include <string>
#include <unordered_map>

#include "audio/audio_commands.h"
#include "inventory/inventory_commands.h"
#include "plugins/plugin_commands.h"
#include "script/control_commands.h"
#include "script/var_commands.h"
#include "shell/form_commands.h"
#include "shell/text.h"
#include "story/story_commands.h"

namespace velmora {

// clang-format off
const std::array<CommandInfo, 64> kCommands = {{
  //  name                          consumed            handler
  {"$plugin.init",               "2",                CmdPluginInit},            // initialise a loaded plug-in
  {"$while",                     "resumes at p+6",   CmdWhile},                 // cond a b body: loop while cond holds
  {"$cycle",                     "resumes at p+7",   CmdCycle},                 // from to body: run body to-from+1 times
  {"$inventory.show",            "2",                CmdInventoryShow},         // (ignored): show the inventory window
  {"$action.SetState",           "4",                CmdActionSetState},        // page action state: enable/disable a choice
  {"$inventory.hide",            "2",                CmdInventoryHide},         // (ignored): hide the inventory window
  {".label",                     "after terminator", CmdLabel},                 // name range .end: record a label
  {"$jump",                      "2",                CmdJump},                  // label: run a label's range here
  {"$run",                       "2",                CmdRun},                   // script: run a script
  {"$inventory.add",             "3",                CmdInventoryAdd},          // item amount
  {"$inventory.remove",          "3",                CmdInventoryRemove},       // item amount
  {"$inventory.GetItemCount",    "3",                CmdInventoryGetItemCount}, // item intvar
  {"$inventory.Usable",          "3",                CmdInventoryUsable},       // item intvar (0 means usable)
  {"$inventory.Use",             "2",                CmdInventoryUse},          // item: run its script
  {"$inventory.DisplayName",     "3",                CmdInventoryDisplayName},  // item strvar
  {"$goto",                      "2",                CmdGoto},                  // page: show a page
  {"$sleep",                     "2",                CmdSleep},                 // ms: block
  {"$int.set.clear",             "1",                CmdIntSetClear},
  {"$string.set.clear",          "1",                CmdStringSetClear},
  {"$int.set.find",              "test: 2/3",        CmdIntSetFind},            // value in the integer set
  {"$int.set.CantFind",          "test: 2/3",        CmdIntSetCantFind},        // value not in the integer set
  {"$int.set.find.add",          "test: 2/3",        CmdIntSetFindAdd},         // found, or added and false
  {"$string.set.find",           "test: 2/3",        CmdStringSetFind},
  {"$int.set.remove",            "2",                CmdIntSetRemove},
  {"$string.set.remove",         "2",                CmdStringSetRemove},
  {"$string.set.CantFind",       "test: 2/3",        CmdStringSetCantFind},
  {"$str.set.find.add",          "test: 2/3",        CmdStrSetFindAdd},
  {"$player.stop",               "1",                CmdPlayerStop},            // pause the music
  {"$start",                     "1",                CmdStart},                 // show the start page
  {"$player.playtrack",          "2",                CmdPlayerPlayTrack},       // track
  {"$string.new",                "2",                CmdStringNew},             // name
  {"$string.set",                "3",                CmdStringSet},             // name literal
  {"$string.get",                "3",                CmdStringGet},             // strvar message-key: ask the player
  {"$string.notequal",           "test: 3/4",        CmdStringNotEqual},
  {"$string.equal",              "test: 3/4",        CmdStringEqual},
  {"$string.split",              "3",                CmdStringSplit},           // strvar operand: append
  {"$string.split.int",          "3",                CmdStringSplitInt},        // strvar intvar-or-token: append
  {"$int.new",                   "2",                CmdIntNew},                // name
  {"$int.set",                   "3",                CmdIntSet},                // name operand
  {"$int.random",                "3",                CmdIntRandom},             // intvar bound
  {"$int.random.range",          "4",                CmdIntRandomRange},        // intvar span base
  {"$int.add",                   "3",                CmdIntAdd},
  {"$int.substrat",              "3",                CmdIntSubstrat},
  {"$int.multiple",              "3",                CmdIntMultiple},
  {"$int.div",                   "3",                CmdIntDiv},
  {"$int.mod",                   "3",                CmdIntMod},
  {"$int.notequal",              "test: 3/4",        CmdIntNotEqual},
  {"$int.equal",                 "test: 3/4",        CmdIntEqual},
  {"$int.largerthan",            "test: 3/4",        CmdIntLargerThan},
  {"$int.largerthanorequal",     "test: 3/4",        CmdIntLargerThanOrEqual},
  {"$int.smallerthan",           "test: 3/4",        CmdIntSmallerThan},
  {"$int.smallerthanorequal",    "test: 3/4",        CmdIntSmallerThanOrEqual},
  {"$player.playsound",          "2",                CmdPlayerPlaySound},       // sound
  {"$form.SetSize",              "3",                CmdFormSetSize},           // height width
  {"$form.SetPos",               "3",                CmdFormSetPos},            // left top (top set first)
  {"$form.LoadTextFromPage",     "2",                CmdFormLoadTextFromPage},  // page
  {"$form.LoadTextFromFile",     "2",                CmdFormLoadTextFromFile},  // file
  {"$form.SetPic",               "2",                CmdFormSetPic},            // file
  {"$player.SetVolume",          "2",                CmdPlayerSetVolume},       // 0..100
  {"$player.SetBalance",         "2",                CmdPlayerSetBalance},      // -5..5
  {"$player.stopsound",          "1",                CmdPlayerStopSound},
  {"$load",                      "1",                CmdLoad},                  // saved page, then inventory state
  {"$showmessage",               "2",                CmdShowMessage},           // message-key
  {"$exit",                      "ends the list",    CmdExit},                  // end this run, close the window
}};
// clang-format on

int FindCommand(std::string_view token) {
  // Names are all different, so a map keyed by the lower-cased name gives the same answer
  // as comparing against the list in order.
  static const std::unordered_map<std::string, int> index = [] {
    std::unordered_map<std::string, int> m;
    for (size_t i = 0; i < kCommands.size(); ++i) m.emplace(AsciiLower(kCommands[i].name), static_cast<int>(i));
    return m;
  }();
  if (token.size() < 4 || (token[0] != '$' && token[0] != '.')) return -1;
  auto it = index.find(AsciiLower(token));
  return it == index.end() ? -1 : it->second;
}

}  // namespace velmora
