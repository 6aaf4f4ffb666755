#pragma once
// A game folder in a fresh temporary directory and a Game on a virtual clock with
// silent audio, for tests of any subsystem.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/silent_platform.h"
#include "base/game.h"
#include "base/platform.h"
#include "base/virtual_clock.h"
#include "platform/files/posix_files.h"
#include "script/command_table.h"

namespace velmora::testing {

// Records every box the core shows, and answers input dialogs from a queue.
class RecordingDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back("message: " + text); }
  void ShowError(const std::string& text) override { shown.push_back("error: " + text); }
  void ShowSystemError(const std::string& text) override { shown.push_back("system: " + text); }
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) override;
  bool MoreInputPossible() override { return !answers.empty(); }

  std::vector<std::string> shown;
  std::vector<std::string> answers;  // "\x18" (CAN) stands for Cancel; an empty queue cancels
};

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  // Writes a file below the folder (parents created); returns its full path.
  std::string Write(const std::string& relative, const std::string& content) const;
  std::string Read(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

// A game folder with a minimal config.ini, story file and tracklist unless told otherwise.
class TestGame {
 public:
  TestGame();
  // The folder path with its trailing separator.
  std::string folder() const { return dir.path().string() + "/"; }
  // Creates the Game (after the files are written) and opens the four documents the
  // way start-up does, without running start-up.
  Game& Make(std::vector<std::string> args = {});
  Game& game() { return *game_; }

  TempDir dir;
  PosixFiles files;
  VirtualClock clock;
  RecordingDialogs dialogs;
  SilentAudioLibrary audio;
  Platform platform;

 private:
  std::unique_ptr<Game> game_;
};

// Runs the command at p of these tokens through the dispatcher, as a script would, after
// checking that the command table gives that token this handler; returns where the
// position moved. Faults reach the caller.
int32_t RunCommand(Game& game, std::vector<std::string> tokens, CommandAction handler, int32_t p = 0);

// The log's messages after their date and time, with their "Warning:"/"Error:" prefixes.
std::vector<std::string> LogMessages(const Game& game);

}  // namespace velmora::testing
