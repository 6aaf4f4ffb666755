#pragma once
// The one header through which the core reaches the machine: files, dialogs, time, picture
// decoding, the music library, the sound-effect device and dynamic libraries, bundled as
// the Platform a front end lends a run. The Qt windows, the terminal player and the
// replay runner implement it; a port to another system implements this and nothing else.
// The core never includes a toolkit or device header.
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// What tells one version of a file from another without reading it. A path that leads to
// nothing (or whose link leads nowhere) has exists false and zeros elsewhere.
struct FileIdentity {
  bool exists = false;
  bool regular = false;  // a regular file, after following links
  uint64_t size = 0;
  int64_t mtimeNs = 0;   // modification time, nanoseconds since the epoch
  uint64_t inode = 0;
  uint64_t device = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Whether a file modified at mtimeNs and read at readAtNs (FileTimeNowNs just before) may
// have changed again since without its identity showing it: within the file system's
// timestamp granularity a rewrite of the same size keeps it (in place, or in a reused
// inode). Whole-second timestamps come from file systems that keep no finer ones (Node's
// under WebAssembly).
inline bool MayChangeUnseen(int64_t mtimeNs, int64_t readAtNs) {
  const int64_t margin = mtimeNs % 1000000000 == 0 ? 2000000000 : 20000000;
  return mtimeNs >= readAtNs - margin;
}

// The outcome of reading a whole file. Every failure carries a system error number so a
// message can say why (EISDIR for a folder, EINVAL for another file that is no regular
// one, EFBIG past the caller's bound).
struct FileRead {
  enum class Status { kRead, kNotFound, kNotRegular, kTooLarge, kSystemError };
  Status status = Status::kNotFound;
  int error = 0;
  std::string bytes;
  FileIdentity identity;  // of the bytes read: taken from the open file
  bool ok() const { return status == Status::kRead; }
};

enum class FileKind { kFile, kFolder, kOther };  // what a name leads to, links followed

struct FolderEntry {
  std::string name;
  FileKind kind = FileKind::kOther;
};

// Files and folders: every file the core reads, lists or writes goes through here, so the
// rules for what a game may touch live in one place. Paths are this system's paths; game
// paths (backslashes, any letter case) become such paths through Resolve. Reads are whole
// files under a bound the caller states; writes are a whole file at a time, either
// replaced atomically or (for the run's log) written over in place. No call throws.
class GameFiles {
 public:
  virtual ~GameFiles() = default;

  // Something has this name, a link that leads nowhere too (the name is taken).
  virtual bool Exists(const std::string& path) = 0;
  virtual FileIdentity Identity(const std::string& path) = 0;
  // 0 when path is a regular file this program may open for reading; else the system's
  // error number (EISDIR for a folder, EINVAL for a FIFO, a device or the like). For files
  // read by a platform layer (pictures).
  virtual int ReadableError(const std::string& path) = 0;
  // The whole regular file, at most maxBytes of it; anything else is refused, never waited
  // on (a FIFO) and never read without end (a device).
  virtual FileRead Read(const std::string& path, size_t maxBytes) = 0;
  // The first maxBytes of the regular file (all of a smaller one), for a glance at a file
  // that may be large; refused as Read refuses, but never for its size.
  virtual FileRead ReadHead(const std::string& path, size_t maxBytes) = 0;
  // The folder's entries but "." and "..", in the order the file system keeps them; false
  // when the folder cannot be listed.
  virtual bool List(const std::string& folder, std::vector<FolderEntry>& entries) = 0;
  // Game folders come from strangers, so writes are confined: once an area is allowed, a
  // write (Replace, Overwrite, Remove) lands only in an allowed folder (or, with below,
  // a folder under it), judged by where the folder really is, links followed; anything
  // else fails as a write that cannot be done. Writes never go through a link at the name
  // itself either: a new regular file takes the name's place.
  virtual void AllowWrites(const std::string& folder, bool below) = 0;
  // Allows writes to one name in its folder and nothing else there (the run's log in the
  // current directory, which may be anyone's folder).
  virtual void AllowWriteOf(const std::string& file) = 0;
  // Puts bytes in place of the file at path in one step: a complete temporary file in the
  // same folder, synced, renamed over the old one, and the folder synced. An existing file
  // keeps its mode and owner; a link at the name is replaced, its target left alone. When
  // the folder forbids new files but the file may be written, the file is written in place
  // and synced. False, with nothing changed, when the file cannot be written, and always
  // when it is no regular file (or link) or lacks its owner's write permission (even for
  // root: the user made it read-only).
  virtual bool Replace(const std::string& path, std::string_view bytes) = 0;
  // Creates or truncates the file at path and writes bytes: for the run's log, which is
  // written once at the end and never read back. A link or a file with other names (hard
  // links) at path is replaced by a new file, never written through. False when any of it
  // fails.
  virtual bool Overwrite(const std::string& path, std::string_view bytes) = 0;
  // Removes what an interrupted Replace left in the folder: temporary files of processes
  // that no longer run.
  virtual void RemoveStaleTemporaries(const std::string& folder) = 0;
  // Removes the file at path (a folder never); true when no file is there afterwards.
  virtual bool Remove(const std::string& path) = 0;
  // The path as an absolute one with "." and ".." worked out, for messages.
  virtual std::string FullPath(const std::string& path) = 0;
  // The real time in nanoseconds on the clock that stamps modification times, so a cache
  // can tell a file changed after it was read from one changed before.
  virtual int64_t FileTimeNowNs() = 0;

  // Game paths, resolved by the same rules over any implementation (base/paths.cpp).
  // The path to use on this system: backslashes become separators, doubled separators
  // collapse, and when the exact path does not exist each component is matched against
  // its folder's entries without regard to letter case (ASCII and the Cyrillic letters of
  // Windows-1251, also against names stored in UTF-8). The normalised path itself when
  // nothing matches.
  std::string Resolve(std::string_view gamePath);
  // A regular file (not a folder) exists at the resolved path.
  bool FileExists(std::string_view gamePath);
  // Anything exists at the resolved path.
  bool PathExists(std::string_view gamePath);
};

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
  // A question of the player's own, not a game's (so its text is UTF-8): Yes or No;
  // nullopt when nobody can answer (no person at hand, the input ended).
  virtual std::optional<bool> AskYesNo(const std::string& /*question*/) { return std::nullopt; }
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

// Leaves new elements uninitialised: a decoder writes every pixel it allocates, so
// zero-filling a picture first would only cost time.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t, UninitialisedAllocator<uint32_t>> pixels;  // rows top to bottom, 0xAARRGGBB
};

// The box a picture is shown in, so that a decoder makes it at the size shown instead of
// the file's own size. kStretch fills the box exactly (proportions not kept); kShrinkToFit
// shrinks a larger picture to fit inside it, proportions kept, and leaves a smaller one at
// its own size. A box without a size asks for the file's own size.
struct PictureBox {
  enum class Fill { kStretch, kShrinkToFit };
  int width = 0;
  int height = 0;
  Fill fill = Fill::kStretch;
  constexpr bool Sized() const { return width > 0 && height > 0; }
};

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  // Decodes the file at path (already resolved) as the format named by the lower-case
  // extension ("jpg", "jpeg", "png", "bmp", "ico", "wmf", "emf"), at the size it takes in
  // box. A file that cannot be read or decoded raises RuntimeFault with a clear message.
  virtual std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension,
                                                const PictureBox& box) = 0;
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
  // Our own addition to the library's operations, for saved games: where a stream stands,
  // in milliseconds from its start (-1 when unknown), and moving a stream that has not
  // started yet to such a place (false when the engine cannot).
  virtual int64_t ChannelGetPosition(uint32_t) { return -1; }
  virtual bool ChannelSetPosition(uint32_t, int64_t) { return false; }
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
  // The file name ending of a library on this system (".so", ".dylib", ".dll").
  virtual std::string_view FileSuffix() const = 0;
  // Loads exactly the bytes given (the ones whose checksum the player approved) from a
  // private copy no one else can change, never from the file they were read from. Null
  // when it does not load; refusal then says why, when the loader refused it itself.
  // name stands for the library in records and messages.
  virtual void* Load(const std::string& name, std::string_view image, std::string& refusal) = 0;
  virtual void* Symbol(void* library, const char* name) = 0;
  virtual void Unload(void* library) = 0;
};

// The system's speech service, for self-voicing. Texts are UTF-8; a language is a short
// code ("ru", "en") that picks the voice.
class Speech {
 public:
  virtual ~Speech() = default;
  // Empty when speech can be heard; otherwise why not, in words for the player.
  virtual std::string Unavailable() = 0;
  // Says text once what was asked before has been said.
  virtual void Speak(const std::string& text, const std::string& language) = 0;
  // Silences what is being said and drops what waits: new speech makes it stale.
  virtual void Stop() = 0;
  // Rate from -1 (slowest) through 0 (the voice's own) to 1; volume from 0 to 1.
  virtual void SetRate(double /*rate*/) {}
  virtual void SetVolume(double /*volume*/) {}
};

// What a front end lends the core for one run.
struct Platform {
  GameFiles* files = nullptr;          // every file and folder
  Dialogs* dialogs = nullptr;
  Clock* clock = nullptr;
  AudioLibrary* audio = nullptr;       // the music library layer
  EffectDevice* effects = nullptr;     // the sound-effect device
  PictureDecoder* pictures = nullptr;  // picture decoding
  LibraryLoader* libraries = nullptr;  // plug-in libraries
  Speech* speech = nullptr;            // self-voicing; null: none
};

}  // namespace velmora
