#include "script/commands.h"

#include "base/game.h"
#include "base/int_text.h"
#include "base/text.h"
#include "vars/var_store.h"

namespace velmora {

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

}  // namespace velmora
