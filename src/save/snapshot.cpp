#include "save/snapshot.h"

#include "audio/audio_window_state.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "base/fault.h"
#include "base/game.h"
#include "inventory/inventory_window_state.h"
#include "script/interpreter.h"
#include "base/main_window_state.h"
#include "base/pictures.h"

namespace velmora {

namespace {

TimerImage ImageOf(const Timer& t) { return {t.Interval(), t.Enabled(), t.TimeLeft()}; }

void Put(Timer& t, const TimerImage& image) { t.Restore(image.interval, image.enabled, image.timeLeft); }

MusicImage CaptureMusic(Game& game) {
  const MusicPlayer& player = *game.music;
  AudioLibrary& library = MusicLibrary(game);
  MusicImage m;
  m.nextTrackName = player.nextTrackName;
  m.musicPlaying = player.musicPlaying;
  const uint32_t active = player.musicStream ? library.ChannelIsActive(player.musicStream) : 0;
  if (active != 0) {
    m.state = active == AudioLibrary::kPaused ? AudioLibrary::kPaused : AudioLibrary::kPlaying;
    m.file = player.streamFile;
    m.positionMs = std::max<int64_t>(0, library.ChannelGetPosition(player.musicStream));
    m.volume = player.streamVolume;
    m.balance = player.streamBalance;
  }
  return m;
}

// The current stream is replaced by a new one of the same file at the same place; a
// stream that had ended (or none) leaves none, which the chain's timer reads alike.
void RestoreMusic(Game& game, const MusicImage& m) {
  MusicPlayer& player = *game.music;
  AudioLibrary& library = MusicLibrary(game);
  if (player.musicStream != 0) library.StreamFree(player.musicStream);
  player.musicStream = 0;
  player.streamFile = m.file;
  player.streamVolume = m.volume;
  player.streamBalance = m.balance;
  player.nextTrackName = m.nextTrackName;
  player.musicPlaying = m.musicPlaying;
  if (m.state == 0 || m.file.empty()) return;
  // The name comes from the save: a FIFO or a device there must not hang the decoder.
  if (game.files().ReadableError(m.file) != 0) return;
  const uint32_t stream = library.StreamCreateFile(m.file);
  if (stream == 0) return;  // the file has gone since: silence, and the chain goes on
  library.ChannelSetPosition(stream, m.positionMs);
  if (m.volume) library.ChannelSetAttribute(stream, AudioLibrary::kAttribVolume, *m.volume);
  if (m.balance) library.ChannelSetAttribute(stream, AudioLibrary::kAttribPan, *m.balance);
  library.ChannelPlay(stream, false);
  if (m.state == AudioLibrary::kPaused) library.ChannelPause(stream);
  player.musicStream = stream;
}

// The sound that was playing is not started again (it would be heard a second time from
// its start); the device is left open or closed as it was, which $player.stopsound sees.
void RestoreSound(Game& game, bool open, const std::string& file) {
  SoundPlayer& player = *game.sounds;
  EffectDevice* device = game.platform.effects;
  if (player.deviceOpen && device) device->Close();
  player.deviceOpen = open;
  player.fileName = file;
  if (open && device && game.files().ReadableError(file) == 0) {
    try {
      device->Open(file);
    } catch (const RuntimeFault&) {
      // The file has gone since; stopping a device that holds nothing is harmless.
    }
  }
}

PictureImage ImageOf(const std::shared_ptr<const Picture>& picture, const std::string& file) {
  return {picture != nullptr, file, picture};
}

}  // namespace

std::shared_ptr<const Snapshot> CaptureSnapshot(Game& game, FileImages& files) {
  auto s = std::make_shared<Snapshot>();
  s->vars = game.vars->Save();
  const Inventory& inv = *game.inventory;
  s->items.reserve(static_cast<size_t>(inv.Size()));
  for (int i = 0; i < inv.Size(); ++i) s->items.push_back(inv.Fields(i));
  s->labels = game.labels->labels;
  s->randomSeed = game.interp->randomSeed;

  const PageState& page = *game.page;
  s->currentPage = page.currentPage;
  s->pageAction = page.pageAction;
  s->pageParam = page.pageParam;
  s->fastScript = page.fastScript;
  s->actions = page.actions;
  const MainWindowState& form = *game.mainWindow;
  s->caption = form.caption;
  s->left = form.left;
  s->top = form.top;
  s->width = form.width;
  s->height = form.height;
  s->storyLines = form.storyLines;
  s->history = game.history;
  s->picture = ImageOf(form.picture, form.pictureFile);
  s->choiceItems = form.choiceItems;
  s->selectedChoice = form.selectedChoice;

  s->timers = {ImageOf(game.musicTimer), ImageOf(game.pageActionTimer), ImageOf(game.answerTimer)};
  s->music = CaptureMusic(game);
  s->soundDeviceOpen = game.sounds->deviceOpen;
  s->soundFile = game.sounds->fileName;

  const AudioWindowState& audio = *game.audioWindow;
  s->audioVisible = audio.visible;
  s->audioVolume = audio.volume;
  s->audioBalance = audio.balance;
  const InventoryWindowState& w = *game.inventoryWindow;
  s->inventoryVisible = w.visible;
  s->inventoryLeft = w.left;
  s->inventoryTop = w.top;
  s->inventoryEntries = w.entries;
  s->inventorySelectedEntry = w.selectedEntry;
  s->inventorySelectedItem = w.selectedItem;
  s->inventoryPicture = ImageOf(w.picture, w.pictureFile);
  s->inventoryItemName = w.itemName;
  s->inventoryItemCount = w.itemCount;
  s->inventoryDescription = w.description;
  s->inventoryUseEnabled = w.useEnabled;
  s->inventoryWearEnabled = w.wearEnabled;
  s->inventoryWearTakesOff = w.wearTakesOff;

  s->files = files.CaptureAll();
  return s;
}

void LoadSnapshotPictures(Game& game, Snapshot& s) {
  // Decoded for the boxes as they are now: a picture shrinks only to fit its box.
  if (s.picture.shown) s.picture.picture = LoadPicture(game, s.picture.file, game.mainWindow->ShownPictureBox());
  if (s.inventoryPicture.shown)
    s.inventoryPicture.picture = LoadPicture(game, game.gameFolder() + s.inventoryPicture.file,
                                             InventoryWindowState::kPictureBox);
}

void RestoreSnapshot(Game& game, FileImages& files, const Snapshot& s) {
  for (const FileImage& file : s.files) files.Restore(file);

  game.vars->Restore(s.vars);
  Inventory& inv = *game.inventory;
  inv.Clear();
  for (const ItemFields& item : s.items) inv.Append(item);
  game.labels->Clear();
  for (const ScriptLabel& label : s.labels) game.labels->Add(label);
  game.interp->randomSeed = s.randomSeed;

  PageState& page = *game.page;
  page.currentPage = s.currentPage;
  page.pageAction = s.pageAction;
  page.pageParam = s.pageParam;
  page.fastScript = s.fastScript;
  page.actions = s.actions;
  page.substitutionIndex.reset();
  MainWindowState& form = *game.mainWindow;
  form.caption = s.caption;
  form.left = s.left;
  form.top = s.top;
  form.width = s.width;
  form.height = s.height;
  form.storyLines = s.storyLines;
  game.history = s.history;
  form.picture = s.picture.picture;
  form.pictureFile = s.picture.file;
  form.choiceItems = s.choiceItems;
  form.selectedChoice = s.selectedChoice;

  Put(game.musicTimer, s.timers[0]);
  Put(game.pageActionTimer, s.timers[1]);
  Put(game.answerTimer, s.timers[2]);
  RestoreMusic(game, s.music);
  RestoreSound(game, s.soundDeviceOpen, s.soundFile);

  AudioWindowState& audio = *game.audioWindow;
  audio.visible = s.audioVisible;
  audio.volume = s.audioVolume;
  audio.balance = s.audioBalance;
  InventoryWindowState& w = *game.inventoryWindow;
  w.visible = s.inventoryVisible;
  w.left = s.inventoryLeft;
  w.top = s.inventoryTop;
  w.entries = s.inventoryEntries;
  w.selectedEntry = s.inventorySelectedEntry;
  w.selectedItem = s.inventorySelectedItem;
  w.picture = s.inventoryPicture.picture;
  w.pictureFile = s.inventoryPicture.file;
  w.itemName = s.inventoryItemName;
  w.itemCount = s.inventoryItemCount;
  w.description = s.inventoryDescription;
  w.useEnabled = s.inventoryUseEnabled;
  w.wearEnabled = s.inventoryWearEnabled;
  w.wearTakesOff = s.inventoryWearTakesOff;

  // Views repaint from the restored state.
  form.Changed(~0u & ~MainWindowState::kStoryCaret);
  audio.Changed();
  w.Changed(InventoryWindowState::kAll & ~InventoryWindowState::kBringToFront);
}

}  // namespace velmora
