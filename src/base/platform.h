#pragma once
// The one header through which the core reaches the machine: dialogs, time, picture
// decoding, the music library, the sound-effect device and dynamic libraries, bundled as
// the Platform a front end lends a run. The Qt windows, the terminal player and the
// replay runner implement it; a port to another system implements this and nothing else.
// The core never includes a toolkit or device header.
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

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

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // rows top to bottom, 0xAARRGGBB
};

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  // Decodes the file at path (already resolved) as the format named by the lower-case
  // extension ("jpg", "jpeg", "png", "bmp", "ico", "wmf", "emf"). A file that cannot be
  // read or decoded raises RuntimeFault with a clear message.
  virtual std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension) = 0;
};

// The music library layer: the ten operations the player calls, with the results it relies
// on (version high word 0x0204; zero/non-zero as stated; a paused stream still active).
class AudioLibrary {
 public:
  static constexpr uint32_t kVersion = 0x02040000;
  static constexpr uint32_t kAttribVolume = 2;
  static constexpr uint32_t kAttribPan = 3;
  // ChannelIsActive results.
  static constexpr uint32_t kStopped = 0, kPlaying = 1, kPaused = 3;

  virtual ~AudioLibrary() = default;
  virtual uint32_t GetVersion() = 0;
  virtual bool Init(int32_t device, uint32_t freq, uint32_t flags) = 0;
  // A new stream for the whole file, 0 when it cannot be loaded.
  virtual uint32_t StreamCreateFile(const std::string& path) = 0;
  virtual bool ChannelPlay(uint32_t handle, bool restart) = 0;
  // 0 once the stream has played to its end (or for handle 0); non-zero while playing or paused.
  virtual uint32_t ChannelIsActive(uint32_t handle) = 0;
  virtual bool ChannelPause(uint32_t handle) = 0;
  virtual bool ChannelSetAttribute(uint32_t handle, uint32_t attrib, float value) = 0;
  virtual bool Stop() = 0;
  virtual bool StreamFree(uint32_t handle) = 0;
  virtual bool Free() = 0;
  // Why the last call that failed did, in words for the player; empty when unknown.
  virtual std::string ErrorText() { return {}; }
};

// The sound-effect device, with the media-control semantics the player relies on.
class EffectDevice {
 public:
  virtual ~EffectDevice() = default;
  // Opens a file for playing; throws RuntimeFault with the reason when it cannot
  // ("Unknown error code" when no reason is known).
  virtual void Open(const std::string& path) = 0;
  // Plays from the start without waiting for the end.
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
};

// Dynamic libraries (plug-ins). The loader knows the system's file suffix for them.
class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  virtual void* Load(const std::string& path) = 0;  // null when it does not load
  virtual void* Symbol(void* library, const char* name) = 0;
  virtual void Unload(void* library) = 0;
};

// What a front end lends the core for one run.
struct Platform {
  Dialogs* dialogs = nullptr;
  Clock* clock = nullptr;
  AudioLibrary* audio = nullptr;       // the music library layer
  EffectDevice* effects = nullptr;     // the sound-effect device
  PictureDecoder* pictures = nullptr;  // picture decoding
  LibraryLoader* libraries = nullptr;  // plug-in libraries
};

}  // namespace velmora
