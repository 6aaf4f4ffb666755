#pragma once
// A snapshot of a whole run, taken between events: everything a game can observe later.
// Restoring one puts the run back as it was at that moment, game files included, so the
// story goes on exactly from there.
//
// Snapshots are values; what is large and rarely changes is shared rather than copied:
// a game file's bytes (one buffer per distinct content, see FileImages) and the pictures
// shown. A hundred snapshots of a game that changes only its variables cost little more
// than one.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/game.h"
#include "base/platform.h"
#include "inventory/inventory.h"
#include "save/file_images.h"
#include "script/script_library.h"
#include "story/page_state.h"
#include "vars/var_store.h"

namespace velmora {

class Game;

struct TimerImage {
  uint32_t interval = 0;
  bool enabled = false;
  int64_t timeLeft = 0;  // of its countdown, while enabled
  bool operator==(const TimerImage&) const = default;
};

// A picture as shown: the file it came from (as the game formed the path) and, in memory,
// the decoded picture itself. A snapshot read from a file decodes the file again.
struct PictureImage {
  bool shown = false;
  std::string file;
  std::shared_ptr<const Picture> picture;
};

struct MusicImage {
  // The current stream's state as the library reports it: 0 none or ended, 1 playing, 3 paused.
  uint32_t state = 0;
  std::string file;
  int64_t positionMs = 0;
  std::optional<float> volume, balance;
  std::string nextTrackName = "nil";
  bool musicPlaying = false;
};

struct Snapshot {
  VarStore::Contents vars;
  std::vector<ItemFields> items;
  std::vector<ScriptLabel> labels;
  uint32_t randomSeed = 0;

  // The page: its state, and the main window as it shows it.
  std::string currentPage, pageAction, pageParam, fastScript;
  std::vector<Action> actions;
  std::string caption;
  int left = 0, top = 0, width = 0, height = 0;  // geometry, which scripts may set
  std::vector<std::string> storyLines;
  PictureImage picture;
  std::vector<std::string> choiceItems;
  int selectedChoice = -1;

  // The music, page action and fast-answer timers.
  std::array<TimerImage, 3> timers;
  MusicImage music;
  bool soundDeviceOpen = false;
  std::string soundFile;

  // The tool windows: what their state shows, so a restored run answers them alike.
  bool audioVisible = false;
  int audioVolume = 0, audioBalance = 0;
  bool inventoryVisible = false;
  int inventoryLeft = 0, inventoryTop = 0;
  std::vector<std::string> inventoryEntries;
  int inventorySelectedEntry = -1;
  int32_t inventorySelectedItem = 0;
  PictureImage inventoryPicture;
  std::string inventoryItemName, inventoryItemCount;
  std::vector<std::string> inventoryDescription;
  bool inventoryUseEnabled = true, inventoryWearEnabled = false, inventoryWearTakesOff = false;

  std::vector<FileImage> files;  // story file, config.ini, Scripts\inventory.sav

  std::vector<PageRead> history;  // the story so far
};

// Takes the run's state. Call only between events (no script running).
std::shared_ptr<const Snapshot> CaptureSnapshot(Game& game, FileImages& files);

// Puts a snapshot back: game files first (each replaced atomically, so a failure leaves
// every file whole and nothing else changed yet), then the state in memory, then the
// views are told. A RuntimeFault from a file write reaches the caller.
void RestoreSnapshot(Game& game, FileImages& files, const Snapshot& snapshot);

// Decodes the pictures of a snapshot read from a file (their files named in it). A
// picture that cannot be loaded raises RuntimeFault; nothing of the run has changed then.
void LoadSnapshotPictures(Game& game, Snapshot& snapshot);

}  // namespace velmora
