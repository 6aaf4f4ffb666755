#pragma once
// The platform header in a browser page. The game's files sit in the in-memory file
// system under /game (unpacked by the page, or fetched: all but pictures and sampled
// sound before the run starts, those after its first page); what the run writes there is
// also handed to the page, which keeps it in the browser's storage.
// Boxes are <dialog> elements, music and sounds play through Web Audio, pictures are
// decoded by the browser where they are shown. Calls that wait (a box, $sleep, the idle
// loop) suspend the WebAssembly stack through Asyncify and give the browser back its
// event loop meanwhile.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "base/platform.h"
#include "platform/files/posix_files.h"

namespace velmora {

// Events the page queues (a click, a key, a box closed), in the steps' words plus the
// box answers: "dialog ID ok TEXT" and "dialog ID cancel".
std::optional<std::string> NextPageEvent(bool boxAnswersOnly);
// Gives the browser its event loop until an event is queued or ms have passed.
void WaitForPage(int64_t ms);

class WebFiles final : public GameFiles {
 public:
  bool Exists(const std::string& path) override { return inner_.Exists(path); }
  FileIdentity Identity(const std::string& path) override { return inner_.Identity(path); }
  int ReadableError(const std::string& path) override { return inner_.ReadableError(path); }
  FileRead Read(const std::string& path, size_t maxBytes) override { return inner_.Read(path, maxBytes); }
  FileRead ReadHead(const std::string& path, size_t maxBytes) override { return inner_.ReadHead(path, maxBytes); }
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override {
    return inner_.List(folder, entries);
  }
  void AllowWrites(const std::string& folder, bool below) override { inner_.AllowWrites(folder, below); }
  void AllowWriteOf(const std::string& file) override { inner_.AllowWriteOf(file); }
  bool Replace(const std::string& path, std::string_view bytes) override;
  bool Overwrite(const std::string& path, std::string_view bytes) override;
  void RemoveStaleTemporaries(const std::string& folder) override { inner_.RemoveStaleTemporaries(folder); }
  bool Remove(const std::string& path) override;
  std::string FullPath(const std::string& path) override { return inner_.FullPath(path); }
  int64_t FileTimeNowNs() override { return inner_.FileTimeNowNs(); }

 private:
  PosixFiles inner_;
};

class WebClock final : public Clock {
 public:
  int64_t NowMs() override;
  std::time_t WallTime() override;
  // Blocks the run (no timer fires), the page repainted first so the player sees what
  // the script showed before it slept.
  void Sleep(int64_t ms) override;
  std::function<void()> beforeSleep;
};

// Boxes as modal <dialog> elements. While one is open the page's timers keep firing
// (through `pump`, the front end's loop for one round), as a desktop box's own loop lets
// them, and a timer's script may open another box above it.
class WebDialogs final : public Dialogs {
 public:
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowSystemError(const std::string& text) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) override;
  std::optional<bool> AskYesNo(const std::string& question) override;

  // Game texts are in the game's code page; the page speaks UTF-8.
  std::function<std::string(const std::string&)> toUtf8, fromUtf8;
  std::function<int64_t()> pump;  // fires due timers and repaints; ms until the next timer
  std::string caption;         // the application title

 private:
  // Opens a box and waits for its answer: nullopt for Cancel (or the page going away).
  std::optional<std::string> Run(const char* kind, const std::string& title, const std::string& textUtf8,
                                 const std::string& fieldLabel = {});
  int nextId_ = 1;
};

class WebPictures final : public PictureDecoder {
 public:
  explicit WebPictures(GameFiles& files) : files_(files) {}
  // Checks the file (readable, a known kind, a plausible header) and hands back a
  // picture of the shown size without pixels: the page draws the file itself.
  std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension,
                                        const PictureBox& box) override;
  // The file a picture was made from, for the page; empty for another picture.
  std::string FileOf(const Picture* picture) const;

 private:
  std::shared_ptr<const Picture> Unchecked(const std::string& path, const PictureBox& box);
  GameFiles& files_;
  std::shared_ptr<std::unordered_map<const Picture*, std::string>> files_of_ =
      std::make_shared<std::unordered_map<const Picture*, std::string>>();
};

// Music streams and the sound-effect device as media elements routed through Web Audio.
// The page starts them at the first gesture, when browsers allow sound; until then a
// stream counts as playing from where it was told to, as it would on a silent device.
class WebAudio final : public AudioLibrary {
 public:
  uint32_t GetVersion() override { return kVersion; }
  bool Init(int32_t, uint32_t, uint32_t) override { return true; }
  uint32_t StreamCreateFile(const std::string& path) override;
  bool ChannelPlay(uint32_t handle, bool restart) override;
  uint32_t ChannelIsActive(uint32_t handle) override;
  bool ChannelPause(uint32_t handle) override;
  bool ChannelSetAttribute(uint32_t handle, uint32_t attrib, float value) override;
  bool Stop() override;
  bool StreamFree(uint32_t handle) override;
  bool Free() override;
  int64_t ChannelGetPosition(uint32_t handle) override;
  bool ChannelSetPosition(uint32_t handle, int64_t ms) override;
};

class WebEffects final : public EffectDevice {
 public:
  explicit WebEffects(GameFiles& files) : files_(files) {}
  void Open(const std::string& path) override;
  void Play() override;
  void Stop() override;
  void Close() override;

 private:
  GameFiles& files_;
  int handle_ = 0;
};

}  // namespace velmora
