#pragma once
// Requests from outside to end the program: SIGTERM (a desktop logout, kill), SIGHUP (the
// terminal went away) and SIGINT (Ctrl+C). Instead of dying without the shutdown's writes,
// the program notes the request and its front end ends the game as the close box does.
//
// The handler only sets a flag and writes a byte to a pipe, so a front end may wait on the
// pipe (poll, a Qt socket notifier) in whatever thread it likes; the signal itself may be
// delivered to any thread, an audio thread included. A second signal of the same kind
// ends the program at once, in case the shutdown itself hangs.
#include <cstdint>

namespace velmora {

class StopSignals {
 public:
  // Installs the handlers for the life of this object. One made while another lives (a
  // game played from the library, a copy made for it) shares the outer one's handlers,
  // pipe and request, so a request ends the outer loop too.
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // A request has arrived since the handlers were installed.
  static bool Requested();
  // The signal number of the first request, 0 while none.
  static int Signal();
  // Becomes readable once a request has arrived; -1 when no handlers are installed.
  static int WakeFd();
  // Blocks for ms milliseconds, or less when a request arrives meanwhile.
  static void Sleep(int64_t ms);
};

}  // namespace velmora
