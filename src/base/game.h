#pragma once
// The program-wide state of one run: every singleton that the main window's unit owns
// (log, INI documents, script library, variables, page state, inventory, music, plug-ins)
// and the three windows' core state. Subsystems reach each other only through this
// object and the operations their headers declare; front ends reach it through the
// windows' core state and the platform interfaces they implement.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "base/folder_watch.h"
#include "base/ini_document.h"
#include "base/metered_files.h"
#include "base/platform.h"
#include "base/startup_log.h"
#include "base/timed_dialogs.h"
#include "base/timers.h"
#include "base/work_meter.h"

namespace velmora {

class MainWindowState;
class VarStore;
class ScriptLibrary;
class LabelTable;
struct InterpreterState;
struct PageState;
class Inventory;
class InventoryWindowState;
class MusicPlayer;
class SoundPlayer;
class AudioWindowState;
class PluginHost;

struct GameOptions {
  std::string gameFolder;         // ends with a separator
  std::vector<std::string> args;  // the player's own arguments; the first may be "debug"
  std::string codePage = "WINDOWS-1251";
  // Asked before each plug-in library is loaded, with its file name in the plug-in folder
  // and the SHA-256 of its bytes (hex): a plug-in is native code from whoever made the
  // game. False leaves it unloaded. Unset, every plug-in loads.
  std::function<bool(Dialogs& dialogs, const std::string& fileName, const std::string& sha256)> approvePlugin;
  // Author mode: watches the game folder so that the windows take up edits as they are
  // saved (live reload). Unset: no watching.
  std::function<std::unique_ptr<FolderWatch>(const std::string& folder)> watchFolder;
};

// One page of the story so far: the page's name and text as shown when it was loaded,
// and the choice taken on it as drawn (empty when the page moved on by itself, or while it
// is the page being read).
struct PageRead {
  std::string page;
  std::vector<std::string> lines;
  std::string choice;
  bool operator==(const PageRead&) const = default;
};

class Game {
 public:
  Game(Platform platform, GameOptions options);
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform platform;
  GameOptions options;
  const std::string& gameFolder() const { return options.gameFolder; }
  GameFiles& files() { return meteredFiles; }
  Dialogs& dialogs() { return timedDialogs; }
  Clock& clock() { return *platform.clock; }

  // The work of the script chain that runs now; the files, the boxes and the log charge it.
  WorkMeter work;
  MeteredFiles meteredFiles;  // the platform's files, metered
  TimedDialogs timedDialogs;  // the platform's boxes, timed and metered
  TimerHub timers;
  StartupLog log;
  // Why start-up stopped, for the player's library to show: the audio error, or the
  // first error the log holds. Empty when it completed.
  std::string startFailure;
  TextCodec codec;
  void WriteLog(int32_t level, std::string_view text) { log.WriteLog(level, text); }

  // The four documents that stay open for the run; null when the file was not found.
  std::unique_ptr<IniDocument> config, story, tracklist, messages;
  std::string musicListName, storyFileName;

  std::unique_ptr<MainWindowState> mainWindow;         // main window
  std::unique_ptr<VarStore> vars;          // variables and sets
  std::unique_ptr<ScriptLibrary> scripts;  // script blocks
  std::unique_ptr<LabelTable> labels;      // labels recorded by .label
  std::unique_ptr<InterpreterState> interp;
  std::unique_ptr<PageState> page;  // current page and its actions
  std::unique_ptr<Inventory> inventory;
  std::unique_ptr<InventoryWindowState> inventoryWindow;  // inventory window
  std::unique_ptr<MusicPlayer> music;
  std::unique_ptr<SoundPlayer> sounds;
  std::unique_ptr<AudioWindowState> audioWindow;  // audio options window
  std::unique_ptr<PluginHost> plugins;
  // Substitutes references to variables and items into lines (the story's text
  // substitution). The inventory window substitutes its descriptions with it: the
  // inventory stands below the story, which reads it, so the run lends this one operation.
  void (*substituteReferences)(Game& game, std::vector<std::string>& lines) = nullptr;
  // The main window, choice list, story text and picture objects a windowed front end
  // publishes to plug-ins (stored before start-up; null without windows).
  std::array<void*, 4> windowObjects{};

  // The story so far, oldest first: part of the run's state, so going back and loading a
  // save take it back with the rest. Bytes in the game's code page.
  std::vector<PageRead> history;

  // The main window's timers: music continuation (100 ms), page action, fast answer.
  Timer musicTimer, pageActionTimer, answerTimer;

  // Runs one window event (a choice, a timer, a button, start-up). A RuntimeFault ends
  // it and is shown in the error dialog; effects made before the fault stay.
  void RunEvent(const std::function<void()>& body);
  // Writes that the event's chain put off to its end (the inventory's state file, which a
  // loop of adds would otherwise rewrite and sync once per add); RunEvent makes them after
  // the event, also after a fault.
  std::function<void()> finishEvent;

  // Called when the player chooses an item of the choice list, before anything of the
  // choice runs: the state is still whole there, so the front end may keep it for "back".
  std::function<void()> beforeChoice;

  // Closing the main window: front ends end their event loop once the current event
  // returns; the shutdown then runs.
  // Asked now and then while a script chain runs (every few thousand commands, and before
  // every command that waits, shows, loads or writes), with the real time the chain has
  // run, time in boxes not counted. Front ends with a person at hand ask after a few
  // seconds whether to stop the chain or keep waiting. Unset: chains run to their bounds.
  struct ChainVerdict {
    bool stop = false;          // end the chain now, with the fault `why`
    std::string why;
    bool restartClock = false;  // count the running time afresh (the person chose to wait)
  };
  std::function<ChainVerdict(int64_t runningMs)> checkChain;

  void RequestClose();
  bool CloseRequested() const { return closeRequested_; }
  std::function<void()> onCloseRequested;

  // Something the game names is not there: a page, a script, a label or a picture. The run
  // goes on as the log says; a front end with a reader tells them, since they never see
  // the log. The name is bytes in the game's code page.
  enum class Missing { kPage, kScript, kLabel, kPicture };
  std::function<void(Missing what, const std::string& name)> onMissing;
  void ReportMissing(Missing what, std::string_view name) const {
    if (onMissing) onMissing(what, std::string(name));
  }

 private:
  bool closeRequested_ = false;
};

}  // namespace velmora
