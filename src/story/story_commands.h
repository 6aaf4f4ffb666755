#pragma once
// The story's commands: pages and the main window's text, picture, size and place.
#include <cstdint>

#include "script/command_table.h"
#include "script/token_list.h"

namespace velmora {

class Game;

// Pages (story/story_commands.cpp).
void CmdGoto(Game& game, const TokenList& t, int32_t p);
void CmdStart(Game& game, const TokenList& t, int32_t p);
void CmdLoad(Game& game, const TokenList& t, int32_t p);
void CmdActionSetState(Game& game, const TokenList& t, int32_t p);

// The main window (story/window_commands.cpp).
void CmdFormSetSize(Game& game, const TokenList& t, int32_t p);
void CmdFormSetPos(Game& game, const TokenList& t, int32_t p);
void CmdFormLoadTextFromPage(Game& game, const TokenList& t, int32_t p);
void CmdFormLoadTextFromFile(Game& game, const TokenList& t, int32_t p);
void CmdFormSetPic(Game& game, const TokenList& t, int32_t p);

// The rows of these commands.
CommandRows StoryCommands();

}  // namespace velmora
