#include "save/save_games.h"

#include <functional>
#include <string_view>

#include "base/fault.h"
#include "base/game.h"
#include "library/user_folders.h"
#include "script/interpreter.h"
#include "base/main_window_state.h"
#include "story/page_state.h"

namespace velmora {

namespace {

constexpr size_t kCaptionBytes = 80;

size_t HashOf(const std::string& bytes) { return std::hash<std::string_view>{}(bytes); }

// Why putting back these images would leave a game that cannot start, or nothing: a
// config.ini or story file taken away, or replaced by binary bytes (a NUL byte no text
// file holds). Images equal to the file as it is now change nothing and pass.
std::optional<std::string> WouldNotStart(FileImages& files, const Snapshot& snapshot) {
  for (const FileImage& image : snapshot.files) {
    if (image.role == GameFileRole::kInventoryState) continue;
    const FileImage now = files.Capture(image.role);
    if (now.present == image.present && (!image.present || *now.bytes == *image.bytes)) continue;
    const char* what = image.role == GameFileRole::kStory ? "story file" : "config.ini";
    if (!image.present) return std::string("its ") + what + " would be removed";
    if (image.bytes->find('\0') != std::string::npos) return std::string("its ") + what + " would be binary";
  }
  return std::nullopt;
}

}  // namespace

SaveGames::SaveGames(Game& game) : game_(game), files_(game), playedSince_(game.clock().NowMs()) {
  game_.files().AllowWrites(UserDataFolder() + "saves", true);  // the player's own slots
  game_.beforeChoice = [this] { RememberChoice(); };
}

SaveGames::~SaveGames() { game_.beforeChoice = nullptr; }

const std::string& SaveGames::GameId() {
  // The caption comes from config.ini, so the id is known only once the game has started.
  if (gameId_.empty()) gameId_ = GameSaveId(game_);
  return gameId_;
}

std::string SaveGames::Folder() { return SaveFolder(game_, GameId()); }
std::string SaveGames::SlotPath(int slot) { return Folder() + SlotFileName(slot); }

int64_t SaveGames::PlayedMs() { return playedBefore_ + (game_.clock().NowMs() - playedSince_); }

bool SaveGames::Busy() const { return game_.interp->depth > 0; }

std::string SaveGames::PageCaption() const {
  for (const std::string& line : game_.mainWindow->storyLines) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    std::string caption = line.substr(start, kCaptionBytes);
    if (line.size() - start > kCaptionBytes) caption += "...";
    return caption;
  }
  return game_.page->currentPage;
}

void SaveGames::RememberChoice() {
  if (Busy()) return;
  history_.push_back(CaptureSnapshot(game_, files_));
  if (history_.size() > kBackSteps) history_.pop_front();
}

std::optional<std::string> SaveGames::Apply(const Snapshot& snapshot) {
  const auto undo = CaptureSnapshot(game_, files_);
  try {
    RestoreSnapshot(game_, files_, snapshot);
    return std::nullopt;
  } catch (const RuntimeFault& fault) {
    try {
      RestoreSnapshot(game_, files_, *undo);
    } catch (const RuntimeFault&) {
      // The files that could not be written stay as they were; the rest is back.
    }
    return std::string(fault.what());
  }
}

SaveGames::Outcome SaveGames::Save(int slot, const std::string& thumbnailPng, std::optional<std::string> name) {
  if (Busy()) return {false, "cannot save now: a script is running", Kind::kBusy};
  const std::string path = SlotPath(slot);
  SaveHeader header;
  header.gameId = GameId();
  if (name) {
    header.name = *name;
  } else if (auto old = ReadSlotHead(game_.files(), path)) {
    const SaveReadResult read = DecodeSaveHeader(*old);
    if (read.status == SaveReadStatus::kOk && read.header.gameId == header.gameId) header.name = read.header.name;
  }
  header.pageCaption = PageCaption();
  header.savedAt = game_.clock().WallTime();
  header.playedMs = PlayedMs();
  header.thumbnailPng = thumbnailPng;
  const auto snapshot = CaptureSnapshot(game_, files_);
  const std::string bytes = EncodeSave(header, *snapshot);
  if (!WriteSlotFile(game_.files(), path, bytes)) return {false, "cannot save " + SlotWords(slot) + ": unable to write to " + path};
  slotHistories_[slot] = SlotHistory{HashOf(bytes), history_};
  game_.WriteLog(1, "Game saved: " + SlotWords(slot));
  return {true, "saved: " + SlotWords(slot), Kind::kSaved};
}

SaveGames::Outcome SaveGames::Load(int slot) {
  if (Busy()) return {false, "cannot load now: a script is running", Kind::kBusy};
  bool tooLarge = false;
  const auto bytes = ReadSlotFile(game_.files(), SlotPath(slot), &tooLarge);
  if (tooLarge)
    return {false, "cannot load " + SlotWords(slot) + ": the save is too large (more than " +
                       std::to_string(kMaxSaveBytes >> 20) + " MB)"};
  if (!bytes) return {false, "nothing to load: " + SlotWords(slot) + " is empty", Kind::kEmpty};
  SaveReadResult read = DecodeSave(*bytes, GameId(), files_);
  if (read.status != SaveReadStatus::kOk)
    return {false, "cannot load " + SlotWords(slot) + ": " + DescribeRefusal(read.status)};
  if (auto why = WouldNotStart(files_, *read.snapshot))
    return {false, "cannot load " + SlotWords(slot) + ": the game could not start again (" + *why + ")"};
  try {
    LoadSnapshotPictures(game_, *read.snapshot);
  } catch (const RuntimeFault& fault) {
    return {false, "cannot load " + SlotWords(slot) + ": its picture cannot be shown (" + fault.what() + ")"};
  }
  if (auto error = Apply(*read.snapshot)) return {false, "cannot load " + SlotWords(slot) + ": " + *error};
  auto known = slotHistories_.find(slot);
  if (known != slotHistories_.end() && known->second.fileHash == HashOf(*bytes)) {
    history_ = known->second.history;
  } else {
    history_.clear();
  }
  playedBefore_ = read.header.playedMs;
  playedSince_ = game_.clock().NowMs();
  game_.WriteLog(1, "Game loaded: " + SlotWords(slot));
  return {true, "loaded: " + SlotWords(slot), Kind::kLoaded};
}

SaveGames::Outcome SaveGames::Back() {
  if (Busy()) return {false, "cannot go back now: a script is running", Kind::kBusy};
  if (history_.empty()) return {false, "nothing to go back to", Kind::kNoHistory};
  if (auto error = Apply(*history_.back())) return {false, "cannot go back: " + *error};
  history_.pop_back();
  game_.WriteLog(1, "Went back before the last choice");
  return {true, "back", Kind::kBack};
}

namespace {

// A file the save names by its path in the copy of the game it was made in, as the same
// file of this copy: this folder and the longest tail of that path that names a file
// here. Kept as it is when it is this copy's already or no tail is found.
std::string InThisCopy(Game& game, const std::string& path) {
  const std::string& folder = game.gameFolder();
  if (path.empty() || path.rfind(folder, 0) == 0) return path;
  for (size_t at = 0; at < path.size(); ++at) {
    if (path[at] != '/' && path[at] != '\\') continue;
    std::string here = folder + path.substr(at + 1);
    if (game.files().FileExists(here)) return here;
  }
  return path;
}

}  // namespace

SaveGames::Outcome SaveGames::Import(int slot, const std::string& bytes) {
  const SaveReadResult head = DecodeSaveHeader(bytes);
  SaveReadResult read = head.status == SaveReadStatus::kOk ? DecodeSave(bytes, head.header.gameId, files_) : head;
  if (read.status != SaveReadStatus::kOk) return {false, "cannot import into " + SlotWords(slot) + ": " + DescribeRefusal(read.status)};
  // The picture and the music are kept as paths in the game folder it was made in.
  Snapshot& snapshot = *read.snapshot;
  snapshot.picture.file = InThisCopy(game_, snapshot.picture.file);
  snapshot.music.file = InThisCopy(game_, snapshot.music.file);
  snapshot.soundFile = InThisCopy(game_, snapshot.soundFile);
  read.header.gameId = GameId();
  const std::string path = SlotPath(slot);
  if (!WriteSlotFile(game_.files(), path, EncodeSave(read.header, snapshot, read.version)))
    return {false, "cannot import into " + SlotWords(slot) + ": unable to write to " + path};
  slotHistories_.erase(slot);
  game_.WriteLog(1, "Game imported: " + SlotWords(slot));
  return {true, "imported: " + SlotWords(slot)};
}

SlotInfo SaveGames::Slot(int slot) {
  SlotInfo info;
  info.slot = slot;
  // The header is all a listing needs; a huge slot file is not read whole.
  if (auto bytes = ReadSlotHead(game_.files(), SlotPath(slot))) {
    info.used = true;
    SaveReadResult read = DecodeSaveHeader(*bytes);
    info.status = read.status;
    info.header = std::move(read.header);
    if (info.status == SaveReadStatus::kOk && info.header.gameId != GameId()) info.status = SaveReadStatus::kForeign;
  }
  return info;
}

std::vector<SlotInfo> SaveGames::ListSlots() {
  std::vector<SlotInfo> slots;
  for (int slot = kQuickSlot; slot <= kLastSlot; ++slot) slots.push_back(Slot(slot));
  return slots;
}

bool SaveGames::Delete(int slot) {
  slotHistories_.erase(slot);
  return game_.files().Remove(SlotPath(slot));
}

bool SaveGames::Rename(int slot, const std::string& name) {
  const std::string path = SlotPath(slot);
  const auto bytes = ReadSlotFile(game_.files(), path);
  if (!bytes) return false;
  const auto renamed = RenameSave(*bytes, name);
  if (!renamed || !WriteSlotFile(game_.files(), path, *renamed)) return false;
  auto known = slotHistories_.find(slot);
  if (known != slotHistories_.end() && known->second.fileHash == HashOf(*bytes))
    known->second.fileHash = HashOf(*renamed);
  return true;
}

}  // namespace velmora
