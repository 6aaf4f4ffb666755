#pragma once
// The narrow interfaces through which the core reaches the machine. The Qt windows,
// the terminal player and the replay runner each implement them; the core never
// includes a toolkit header.
#include <cstdint>
#include <ctime>
#include <string>

namespace velmora {

// Modal boxes. Every text is bytes in the game's code page; front ends convert for the screen.
// Front ends with an event loop keep timers firing while a box is open.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The application's message box: application title as caption, one OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // The application's error dialog: application title as caption, error icon; text already has its period.
  virtual void ShowError(const std::string& text) = 0;
  // A system box with no owner window, the system's default caption and the error icon.
  virtual void ShowSystemError(const std::string& text) = 0;
  // The text-input dialog: one field that starts empty, OK and Cancel. False for Cancel.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) = 0;
  // False once no answer can come any more (a replay or test out of answers): a prompt that
  // insists on a non-empty answer then stops asking instead of asking for ever.
  virtual bool MoreInputPossible() { return true; }
};

// Shows nothing and answers nothing: for tools that run the core without a player.
class SilentDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  void ShowSystemError(const std::string&) override {}
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
  bool MoreInputPossible() override { return false; }
};

// Time. Real front ends use the system clock; the replay runner a virtual one that moves
// only when a replay step (or a blocking sleep) says so.
class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic milliseconds for timers.
  virtual int64_t NowMs() = 0;
  // Wall-clock time for log lines.
  virtual std::time_t WallTime() = 0;
  // Blocks the thread; no timer fires meanwhile.
  virtual void Sleep(int64_t ms) = 0;
};

}  // namespace velmora
