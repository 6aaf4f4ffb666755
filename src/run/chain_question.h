#pragma once
// The players' watch over script chains (the windows and the terminal; replays keep their
// fixed bounds of commands and work instead): a chain that has run for more than a few seconds of real
// time, time in boxes not counted, makes the player ask the person whether to stop it or
// keep waiting; a stop signal (logout, kill, Ctrl+C) ends it at once, so that the program
// can shut down.
#include <cstdint>

namespace velmora {

class Game;

inline constexpr int64_t kLongChainMs = 3000;

void AskAboutLongChains(Game& game);
// Replays: no question, but a stop signal ends the chain at its next look (within a few
// thousand commands, or before the next command that waits, shows, loads or writes).
void EndChainsOnStopSignals(Game& game);

}  // namespace velmora
