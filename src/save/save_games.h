#pragma once
// Saved games for one run, as the front ends offer them: numbered slots and a quick slot
// on disk, and "back", which returns to the state before each of the last choices.
//
// Everything here runs between events. While a script runs (a message box of a script is
// open and the event loop goes on under it) nothing is saved or restored: the run's state
// is only whole between events.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "save/file_images.h"
#include "save/save_format.h"
#include "save/save_slots.h"
#include "save/snapshot.h"

namespace velmora {

class Game;

struct SlotInfo {
  int slot = 0;
  bool used = false;                            // a file is there
  SaveReadStatus status = SaveReadStatus::kOk;  // of its header, when used
  SaveHeader header;
};

class SaveGames {
 public:
  static constexpr size_t kBackSteps = 100;

  // Keeps the state before every choice from now on (through Game::beforeChoice).
  explicit SaveGames(Game& game);
  ~SaveGames();
  SaveGames(const SaveGames&) = delete;
  SaveGames& operator=(const SaveGames&) = delete;

  // What a step did, and the one line that says so ("saved: slot 3", "nothing to go back to").
  // A front end that speaks the user's language words it from `kind`; the line is the
  // detail of a failure.
  enum class Kind { kSaved, kLoaded, kBack, kBusy, kEmpty, kNoHistory, kFailed };
  struct Outcome {
    bool done = false;
    std::string message;
    Kind kind = Kind::kFailed;
  };
  // name: the save's name; none keeps the name the slot had.
  Outcome Save(int slot, const std::string& thumbnailPng = {}, std::optional<std::string> name = std::nullopt);
  Outcome Load(int slot);
  Outcome Back();
  // Puts a save file from elsewhere (another copy of the game, the browser) into a slot,
  // as this game's: the whole file is checked first, so a damaged one is refused.
  Outcome Import(int slot, const std::string& bytes);

  bool CanGoBack() const { return !history_.empty(); }
  size_t BackSteps() const { return history_.size(); }
  // Slots kQuickSlot, then kFirstSlot..kLastSlot.
  std::vector<SlotInfo> ListSlots();
  // One slot, kAutoSlot too.
  SlotInfo Slot(int slot);
  bool Delete(int slot);
  bool Rename(int slot, const std::string& name);

  const std::string& GameId();
  std::string Folder();
  std::string SlotPath(int slot);
  int64_t PlayedMs();
  FileImages& files() { return files_; }

 private:
  void RememberChoice();
  // Restores a snapshot; on a failed file write, puts the run back as it was and says why.
  std::optional<std::string> Apply(const Snapshot& snapshot);
  std::string PageCaption() const;
  bool Busy() const;

  using History = std::deque<std::shared_ptr<const Snapshot>>;
  Game& game_;
  FileImages files_;
  History history_;
  // The back history each slot had when this run saved it, with the saved file's hash:
  // loading that very file brings its way back along too.
  struct SlotHistory {
    size_t fileHash = 0;
    History history;
  };
  std::map<int, SlotHistory> slotHistories_;
  std::string gameId_;
  int64_t playedBefore_ = 0;  // time played up to playedSince_
  int64_t playedSince_ = 0;
};

}  // namespace velmora
