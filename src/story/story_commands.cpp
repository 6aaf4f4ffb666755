// Commands that show pages or change the story file.
#include "story/story_commands.h"

#include "base/game.h"
#include "base/int_text.h"
#include "base/text.h"
#include "inventory/inventory.h"
#include "script/arguments.h"
#include "story/page_loader.h"
#include "vars/var_store.h"

namespace velmora {

namespace {

std::string ConfigText(Game& game, std::string_view section, std::string_view key) {
  return game.config ? game.config->ReadText(section, key, "gamestart") : std::string("gamestart");
}

}  // namespace

void CmdGoto(Game& game, const TokenList& t, int32_t p) { LoadPage(game, std::string(StrOperandArg(game, t, p + 1))); }

void CmdStart(Game& game, const TokenList&, int32_t) { LoadPage(game, ConfigText(game, "Start", "StartPage")); }

void CmdLoad(Game& game, const TokenList&, int32_t) {
  LoadPage(game, ConfigText(game, "GameLoad", "Page"));
  LoadState(game);
}

// $action.SetState page action state: stores the action's enabled state in the story
// file only; the page shown keeps its list until it is loaded again.
void CmdActionSetState(Game& game, const TokenList& t, int32_t p) {
  const std::string& page = Arg(t, p + 1);
  if (game.story && game.story->SectionPresent(page)) {
    const std::string& actionToken = Arg(t, p + 2);
    const int index = game.vars->FindVar(actionToken, false);
    const std::string action = index != -1 ? IntToStr(game.vars->IntValue(index)) : actionToken;
    const int32_t state = StrToInt(Arg(t, p + 3));
    game.story->WriteBool(page, "Action" + action + ".Enabled", state == 1);
  }
}

namespace {

// clang-format off
// Fixed(name, width, speed, handler)
constexpr CommandInfo kRows[] = {
  Fixed("$action.SetState", 4, kSlow, CmdActionSetState),              // page action state: enable/disable a choice
  Fixed("$goto", 2, kSlow, CmdGoto),                                   // page: show a page
  Fixed("$start", 1, kSlow, CmdStart),                                 // show the start page
  Fixed("$form.SetSize", 3, kSlow, CmdFormSetSize),                    // height width
  Fixed("$form.SetPos", 3, kSlow, CmdFormSetPos),                      // left top (top set first)
  Fixed("$form.LoadTextFromPage", 2, kSlow, CmdFormLoadTextFromPage),  // page
  Fixed("$form.LoadTextFromFile", 2, kSlow, CmdFormLoadTextFromFile),  // file
  Fixed("$form.SetPic", 2, kSlow, CmdFormSetPic),                      // file
  Fixed("$load", 1, kSlow, CmdLoad),                                   // saved page, then inventory state
};
// clang-format on

}  // namespace

CommandRows StoryCommands() { return kRows; }

}  // namespace velmora
