#pragma once
// The terminal player: the same game as in the windows, in a terminal on real time. It
// prints the picture's file name, the story text and the numbered choices whenever they
// change, message boxes and input prompts inline, and reads the replay steps typed by a
// person (a bare number chooses). Page and music timers fire on time while it waits for
// input, so a cutscene page moves on by itself.
#include <ostream>

namespace velmora {

class Game;
class ConsoleDialogs;

// Plays on a game that has started, until `quit`, the main window closes, the input ends
// or a stop signal arrives (Ctrl+C, SIGTERM, SIGHUP: StopSignals, installed by the program).
void RunTerminal(Game& game, ConsoleDialogs& dialogs, int inFd, std::ostream& out);

// The whole run: start-up, play until `quit`, the window closes, end of input or a stop
// signal, then the shutdown. Returns the exit status: 1 when start-up ended the program.
int PlayTerminal(Game& game, ConsoleDialogs& dialogs, int inFd, std::ostream& out);

}  // namespace velmora
