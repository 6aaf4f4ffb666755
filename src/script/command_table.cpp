#include "script/command_table.h"

#include <string>
#include <unordered_map>

#include "base/text.h"

namespace velmora {

// clang-format off
const std::array<CommandInfo, 64> kCommands = {{
  // Fixed(name, width, speed, handler); Test(name, width when it holds, handler);
  // Loop(name, resume offset, operands read before the body, handler)
  Fixed("$plugin.init", 2, kSlow, CmdPluginInit),                       // initialise a loaded plug-in
  Loop("$while", 6, 0, CmdWhile),                                       // cond a b body: loop while cond holds
  Loop("$cycle", 7, 2, CmdCycle),                                       // from to body: run body to-from+1 times
  Fixed("$inventory.show", 2, kSlow, CmdInventoryShow),                 // (ignored): show the inventory window
  Fixed("$action.SetState", 4, kSlow, CmdActionSetState),               // page action state: enable/disable a choice
  Fixed("$inventory.hide", 2, kSlow, CmdInventoryHide),                 // (ignored): hide the inventory window
  ToTerminator(".label", CmdLabel),                                     // name range .end: record a label
  Fixed("$jump", 2, kQuick, CmdJump),                                   // label: run a label's range here
  Fixed("$run", 2, kQuick, CmdRun),                                     // script: run a script
  Fixed("$inventory.add", 3, kSlow, CmdInventoryAdd),                   // item amount
  Fixed("$inventory.remove", 3, kSlow, CmdInventoryRemove),             // item amount
  Fixed("$inventory.GetItemCount", 3, kQuick, CmdInventoryGetItemCount), // item intvar
  Fixed("$inventory.Usable", 3, kQuick, CmdInventoryUsable),            // item intvar (0 means usable)
  Fixed("$inventory.Use", 2, kSlow, CmdInventoryUse),                   // item: run its script
  Fixed("$inventory.DisplayName", 3, kQuick, CmdInventoryDisplayName),  // item strvar
  Fixed("$goto", 2, kSlow, CmdGoto),                                    // page: show a page
  Fixed("$sleep", 2, kSlow, CmdSleep),                                  // ms: block
  Fixed("$int.set.clear", 1, kQuick, CmdIntSetClear),
  Fixed("$string.set.clear", 1, kQuick, CmdStringSetClear),
  Test("$int.set.find", 2, CmdIntSetFind),                              // value in the integer set
  Test("$int.set.CantFind", 2, CmdIntSetCantFind),                      // value not in the integer set
  Test("$int.set.find.add", 2, CmdIntSetFindAdd),                       // found, or added and false
  Test("$string.set.find", 2, CmdStringSetFind),
  Fixed("$int.set.remove", 2, kQuick, CmdIntSetRemove),
  Fixed("$string.set.remove", 2, kQuick, CmdStringSetRemove),
  Test("$string.set.CantFind", 2, CmdStringSetCantFind),
  Test("$str.set.find.add", 2, CmdStrSetFindAdd),
  Fixed("$player.stop", 1, kSlow, CmdPlayerStop),                       // pause the music
  Fixed("$start", 1, kSlow, CmdStart),                                  // show the start page
  Fixed("$player.playtrack", 2, kSlow, CmdPlayerPlayTrack),             // track
  Fixed("$string.new", 2, kQuick, CmdStringNew),                        // name
  Fixed("$string.set", 3, kQuick, CmdStringSet),                        // name literal
  Fixed("$string.get", 3, kSlow, CmdStringGet),                         // strvar message-key: ask the player
  Test("$string.notequal", 3, CmdStringNotEqual),
  Test("$string.equal", 3, CmdStringEqual),
  Fixed("$string.split", 3, kQuick, CmdStringSplit),                    // strvar operand: append
  Fixed("$string.split.int", 3, kQuick, CmdStringSplitInt),             // strvar intvar-or-token: append
  Fixed("$int.new", 2, kQuick, CmdIntNew),                              // name
  Fixed("$int.set", 3, kQuick, CmdIntSet),                              // name operand
  Fixed("$int.random", 3, kQuick, CmdIntRandom),                        // intvar bound
  Fixed("$int.random.range", 4, kQuick, CmdIntRandomRange),             // intvar span base
  Fixed("$int.add", 3, kQuick, CmdIntAdd),
  Fixed("$int.substrat", 3, kQuick, CmdIntSubstrat),
  Fixed("$int.multiple", 3, kQuick, CmdIntMultiple),
  Fixed("$int.div", 3, kQuick, CmdIntDiv),
  Fixed("$int.mod", 3, kQuick, CmdIntMod),
  Test("$int.notequal", 3, CmdIntNotEqual),
  Test("$int.equal", 3, CmdIntEqual),
  Test("$int.largerthan", 3, CmdIntLargerThan),
  Test("$int.largerthanorequal", 3, CmdIntLargerThanOrEqual),
  Test("$int.smallerthan", 3, CmdIntSmallerThan),
  Test("$int.smallerthanorequal", 3, CmdIntSmallerThanOrEqual),
  Fixed("$player.playsound", 2, kSlow, CmdPlayerPlaySound),             // sound
  Fixed("$form.SetSize", 3, kSlow, CmdFormSetSize),                     // height width
  Fixed("$form.SetPos", 3, kSlow, CmdFormSetPos),                       // left top (top set first)
  Fixed("$form.LoadTextFromPage", 2, kSlow, CmdFormLoadTextFromPage),   // page
  Fixed("$form.LoadTextFromFile", 2, kSlow, CmdFormLoadTextFromFile),   // file
  Fixed("$form.SetPic", 2, kSlow, CmdFormSetPic),                       // file
  Fixed("$player.SetVolume", 2, kSlow, CmdPlayerSetVolume),             // 0..100
  Fixed("$player.SetBalance", 2, kSlow, CmdPlayerSetBalance),           // -5..5
  Fixed("$player.stopsound", 1, kSlow, CmdPlayerStopSound),
  Fixed("$load", 1, kSlow, CmdLoad),                                    // saved page, then inventory state
  Fixed("$showmessage", 2, kSlow, CmdShowMessage),                      // message-key
  EndsList("$exit", CmdExit),                                           // end this run, close the window
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
