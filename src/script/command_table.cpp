#include "script/command_table.h"

#include <string>
#include <unordered_map>

#include "audio/audio_commands.h"
#include "inventory/inventory_commands.h"
#include "plugins/plugin_commands.h"
#include "script/control_commands.h"
#include "script/var_commands.h"
#include "story/window_commands.h"
#include "base/text.h"
#include "story/story_commands.h"

namespace velmora {

// clang-format off
const std::array<CommandInfo, 64> kCommands = {{
  //  name                          consumed            speed   handler
  {"$plugin.init",               "2",                kSlow,  CmdPluginInit},            // initialise a loaded plug-in
  {"$while",                     "resumes at p+6",   kQuick, CmdWhile},                 // cond a b body: loop while cond holds
  {"$cycle",                     "resumes at p+7",   kQuick, CmdCycle},                 // from to body: run body to-from+1 times
  {"$inventory.show",            "2",                kSlow,  CmdInventoryShow},         // (ignored): show the inventory window
  {"$action.SetState",           "4",                kSlow,  CmdActionSetState},        // page action state: enable/disable a choice
  {"$inventory.hide",            "2",                kSlow,  CmdInventoryHide},         // (ignored): hide the inventory window
  {".label",                     "after terminator", kQuick, CmdLabel},                 // name range .end: record a label
  {"$jump",                      "2",                kQuick, CmdJump},                  // label: run a label's range here
  {"$run",                       "2",                kQuick, CmdRun},                   // script: run a script
  {"$inventory.add",             "3",                kSlow,  CmdInventoryAdd},          // item amount
  {"$inventory.remove",          "3",                kSlow,  CmdInventoryRemove},       // item amount
  {"$inventory.GetItemCount",    "3",                kQuick, CmdInventoryGetItemCount}, // item intvar
  {"$inventory.Usable",          "3",                kQuick, CmdInventoryUsable},       // item intvar (0 means usable)
  {"$inventory.Use",             "2",                kSlow,  CmdInventoryUse},          // item: run its script
  {"$inventory.DisplayName",     "3",                kQuick, CmdInventoryDisplayName},  // item strvar
  {"$goto",                      "2",                kSlow,  CmdGoto},                  // page: show a page
  {"$sleep",                     "2",                kSlow,  CmdSleep},                 // ms: block
  {"$int.set.clear",             "1",                kQuick, CmdIntSetClear},
  {"$string.set.clear",          "1",                kQuick, CmdStringSetClear},
  {"$int.set.find",              "test: 2/3",        kQuick, CmdIntSetFind},            // value in the integer set
  {"$int.set.CantFind",          "test: 2/3",        kQuick, CmdIntSetCantFind},        // value not in the integer set
  {"$int.set.find.add",          "test: 2/3",        kQuick, CmdIntSetFindAdd},         // found, or added and false
  {"$string.set.find",           "test: 2/3",        kQuick, CmdStringSetFind},
  {"$int.set.remove",            "2",                kQuick, CmdIntSetRemove},
  {"$string.set.remove",         "2",                kQuick, CmdStringSetRemove},
  {"$string.set.CantFind",       "test: 2/3",        kQuick, CmdStringSetCantFind},
  {"$str.set.find.add",          "test: 2/3",        kQuick, CmdStrSetFindAdd},
  {"$player.stop",               "1",                kSlow,  CmdPlayerStop},            // pause the music
  {"$start",                     "1",                kSlow,  CmdStart},                 // show the start page
  {"$player.playtrack",          "2",                kSlow,  CmdPlayerPlayTrack},       // track
  {"$string.new",                "2",                kQuick, CmdStringNew},             // name
  {"$string.set",                "3",                kQuick, CmdStringSet},             // name literal
  {"$string.get",                "3",                kSlow,  CmdStringGet},             // strvar message-key: ask the player
  {"$string.notequal",           "test: 3/4",        kQuick, CmdStringNotEqual},
  {"$string.equal",              "test: 3/4",        kQuick, CmdStringEqual},
  {"$string.split",              "3",                kQuick, CmdStringSplit},           // strvar operand: append
  {"$string.split.int",          "3",                kQuick, CmdStringSplitInt},        // strvar intvar-or-token: append
  {"$int.new",                   "2",                kQuick, CmdIntNew},                // name
  {"$int.set",                   "3",                kQuick, CmdIntSet},                // name operand
  {"$int.random",                "3",                kQuick, CmdIntRandom},             // intvar bound
  {"$int.random.range",          "4",                kQuick, CmdIntRandomRange},        // intvar span base
  {"$int.add",                   "3",                kQuick, CmdIntAdd},
  {"$int.substrat",              "3",                kQuick, CmdIntSubstrat},
  {"$int.multiple",              "3",                kQuick, CmdIntMultiple},
  {"$int.div",                   "3",                kQuick, CmdIntDiv},
  {"$int.mod",                   "3",                kQuick, CmdIntMod},
  {"$int.notequal",              "test: 3/4",        kQuick, CmdIntNotEqual},
  {"$int.equal",                 "test: 3/4",        kQuick, CmdIntEqual},
  {"$int.largerthan",            "test: 3/4",        kQuick, CmdIntLargerThan},
  {"$int.largerthanorequal",     "test: 3/4",        kQuick, CmdIntLargerThanOrEqual},
  {"$int.smallerthan",           "test: 3/4",        kQuick, CmdIntSmallerThan},
  {"$int.smallerthanorequal",    "test: 3/4",        kQuick, CmdIntSmallerThanOrEqual},
  {"$player.playsound",          "2",                kSlow,  CmdPlayerPlaySound},       // sound
  {"$form.SetSize",              "3",                kSlow,  CmdFormSetSize},           // height width
  {"$form.SetPos",               "3",                kSlow,  CmdFormSetPos},            // left top (top set first)
  {"$form.LoadTextFromPage",     "2",                kSlow,  CmdFormLoadTextFromPage},  // page
  {"$form.LoadTextFromFile",     "2",                kSlow,  CmdFormLoadTextFromFile},  // file
  {"$form.SetPic",               "2",                kSlow,  CmdFormSetPic},            // file
  {"$player.SetVolume",          "2",                kSlow,  CmdPlayerSetVolume},       // 0..100
  {"$player.SetBalance",         "2",                kSlow,  CmdPlayerSetBalance},      // -5..5
  {"$player.stopsound",          "1",                kSlow,  CmdPlayerStopSound},
  {"$load",                      "1",                kSlow,  CmdLoad},                  // saved page, then inventory state
  {"$showmessage",               "2",                kSlow,  CmdShowMessage},           // message-key
  {"$exit",                      "ends the list",    kQuick, CmdExit},                  // end this run, close the window
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
