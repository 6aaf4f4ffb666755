// Program entry: reads the command line, lends the core the machine's services and hands
// the game to one of the front ends (windows, terminal, replay) or to the story checker.
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/web_export.h"
#include "platform/audio/audio_devices.h"
#include "console/console_dialogs.h"
#include "console/program_options.h"
#include "console/replay_runner.h"
#include "base/steady_clock.h"
#include "base/stop_signals.h"
#include "console/terminal_player.h"
#include "platform/dl/dl_loader.h"
#include "base/fault.h"
#include "platform/files/inotify_watch.h"
#include "platform/files/posix_files.h"
#include "base/game.h"
#include "base/visible_text.h"
#include "library/game_copy.h"
#include "library/game_library.h"
#include "library/player_settings.h"
#include "library/plugin_consent.h"
#include "platform/pictures/picture_decoders.h"
#include "tools/author_commands.h"
#include "tools/story_checker.h"
#include "ui/copy_progress.h"
#include "ui/library_window.h"
#include "ui/not_a_game.h"
#include "ui/translation.h"
#include "ui/windows_program.h"

namespace {

using namespace velmora;

const char kProgram[] = "velmora-player";

// Every file the player touches, its own data and the game's.
GameFiles& Files() {
  static PosixFiles files;
  return files;
}

int Fail(const std::string& message, int status) {
  std::cerr << kProgram << ": " << message << '\n';
  return status;
}

// The game folder, always ending with a separator: --game, else the program's own folder.
std::string GameFolder(const ProgramOptions& options, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path folder;
  if (!options.gameFolder.empty()) {
    folder = fs::absolute(options.gameFolder, ec).lexically_normal();
    if (ec || !fs::is_directory(folder, ec)) {
      error = "no game folder at " + options.gameFolder;
      return {};
    }
  } else {
    folder = fs::read_symlink("/proc/self/exe", ec).parent_path();
    if (ec) {
      error = "cannot find the program's own folder; name the game folder with --game";
      return {};
    }
  }
  std::string text = folder.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

int PlayGame(int& argc, char** argv, ProgramOptions options, const std::string& source);

// The library window; without a display, the library's games with the command that plays
// each.
int OpenLibrary(int& argc, char** argv, const ProgramOptions& options) {
  // The first run lists the demo the package installs (beside the program, in the shared
  // data folder).
  try {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
      GameLibrary(Files(), GameLibrary::DefaultPath(), options.codePage)
          .AddOnFirstRun({(self.parent_path() / "../share/velmora-player/demo").lexically_normal().string()});
  } catch (const RuntimeFault& fault) {
    std::cerr << kProgram << ": " << fault.what() << '\n';
  }
  if (HaveDisplay()) {
    // A logout or kill ends the library as its close box does, and a game played from it
    // ends the library too.
    StopSignals stopSignals;
    GameLibrary library(Files(), GameLibrary::DefaultPath(), options.codePage);
    struct Context {
      int& argc;
      char** argv;
      const ProgramOptions& options;
    } here{argc, argv, options};
    return RunLibrary(argc, argv, library, Files(), [](const std::string& folder, bool resume, void* c) {
      auto* context = static_cast<Context*>(c);
      ProgramOptions play = context->options;
      play.mode = ProgramOptions::Mode::kWindows;
      play.gameFolder = folder;
      play.resume = resume;
      // A game of the library keeps its log where it is played.
      std::error_code ec;
      std::filesystem::current_path(folder, ec);
      PlayGame(context->argc, context->argv, play, folder);
    }, &here);
  }
  std::vector<LibraryEntry> games;
  try {
    games = GameLibrary(Files(), GameLibrary::DefaultPath(), options.codePage).Games();
  } catch (const RuntimeFault& fault) {
    std::cerr << kProgram << ": " << fault.what() << '\n';
    return 2;
  }
  if (games.empty()) {
    std::cerr << "The game library (" << GameLibrary::DefaultPath() << ") is empty; play a game with --game DIR.\n";
    return 2;
  }
  std::cerr << "The game library; play a game with the --game line below it:\n";
  for (const LibraryEntry& game : games)
    std::cerr << "  " << game.captionUtf8 << (game.present ? "" : " (gone)") << "\n    --game " << game.folder << '\n';
  return 2;
}

// No game named and none beside the program.
int NoGame(int& argc, char** argv, const ProgramOptions& options, const std::string& programFolder) {
  std::cerr << kProgram << ": no game named, and no game beside the program in " << programFolder
            << "; play one with --game DIR";
  if (options.mode != ProgramOptions::Mode::kWindows) {
    std::cerr << '\n';
    return 2;
  }
  std::cerr << ", or pick one of the library (--library)\n";
  return OpenLibrary(argc, argv, options);
}

// The folder to play in: the game folder itself, or the user's copy of it when it is not
// writable or --copy asks for one. A copy becomes the current directory, where games
// keep LastStart.log and their plugins/ folder.
bool EnterPlayFolder(const ProgramOptions& options, std::string& folder, std::string& error,
                     const CopyProgress& progress, bool& copyMadeNow) {
  const PlayFolder play = PrepareGameFolder(Files(), folder, options.copyGame, progress);
  if (!play.error.empty()) {
    error = play.error;
    return false;
  }
  if (!play.copy) {
    if (!options.inGameFolder) return true;
    std::error_code ec;
    std::filesystem::current_path(folder, ec);
    if (ec) error = "cannot enter " + folder + ": " + ec.message();
    return !ec;
  }
  copyMadeNow = play.madeNow;
  if (play.madeNow) {
    std::cerr << kProgram << ": " << (options.copyGame ? "playing your own copy of " + folder : folder + " is not writable; playing your own copy")
              << ", made now in " << play.folder << "; later plays go on there\n";
  }
  folder = play.folder;
  std::error_code ec;
  std::filesystem::current_path(folder, ec);
  if (ec) {
    error = "cannot enter " + folder + ": " + ec.message();
    return false;
  }
  return true;
}

// Plug-ins run native code from whoever made the game: ask once per library (file name
// and content) and remember the answer. A player who cannot answer does not load it.
bool AskOncePerPlugin(Dialogs& dialogs, const std::string& fileName, const std::string& sha256) {
  const PluginConsent consent(Files());
  try {
    if (const std::optional<bool> known = consent.Recorded(fileName, sha256)) return *known;
  } catch (const RuntimeFault& fault) {
    std::cerr << kProgram << ": " << fault.what() << "; asking again\n";
  }
  const std::optional<bool> load = dialogs.AskYesNo(
      "This game comes with the plug-in " + fileName + " (SHA-256 " + sha256 +
      "). A plug-in is a program: it can do anything you can on this computer. Load it? "
      "Answer no unless you trust whoever made the game.");
  if (!load) return false;
  try {
    consent.Record(fileName, sha256, *load);
  } catch (const RuntimeFault& fault) {
    std::cerr << kProgram << ": " << fault.what() << "; the answer is not remembered\n";
  }
  return *load;
}

// Changes the library's record of a game; a library that cannot be written costs the
// game nothing but a line on stderr.
void ChangeLibrary(const ProgramOptions& options, const std::function<void(GameLibrary&)>& change) {
  try {
    GameLibrary library(Files(), GameLibrary::DefaultPath(), options.codePage);
    change(library);
  } catch (const RuntimeFault& fault) {
    std::cerr << kProgram << ": " << fault.what() << '\n';
  }
}

// Remembers a play of a game of the library.
void MarkPlayed(const ProgramOptions& options, const std::string& folder) {
  ChangeLibrary(options, [&](GameLibrary& library) { library.MarkPlayed(folder, std::time(nullptr)); });
}

// Remembers why a game of the library did not start, or that it did (empty).
void RememberStartFailure(const ProgramOptions& options, const std::string& folder, const std::string& failure) {
  ChangeLibrary(options, [&](GameLibrary& library) { library.SetStartFailure(folder, failure); });
}

// Remembers where a game of the library can go on from.
void RememberAutoSave(const ProgramOptions& options, const std::string& folder, const std::string& saveFile) {
  ChangeLibrary(options, [&](GameLibrary& library) { library.SetAutoSave(folder, saveFile); });
}

// The sound device, which, unless the player requires sound, gives way to the virtual
// engine on the same clock when it does not start: a machine without a sound card still
// plays the game, silently, and the front end says so once.
class FallbackAudio : public AudioLibrary {
 public:
  FallbackAudio(std::unique_ptr<AudioLibrary> device, Clock& clock, bool requireAudio)
      : inner_(std::move(device)), clock_(clock), requireAudio_(requireAudio) {}
  bool InitFailed() const { return initFailed_; }
  // Why the game plays silently, once it does; empty while sound plays.
  const std::string& silenceReason() const { return silenceReason_; }
  // Called once when the game goes on without sound, with the reason.
  std::function<void(const std::string&)> onSilent;

  uint32_t GetVersion() override { return inner_->GetVersion(); }
  bool Init(int32_t device, uint32_t freq, uint32_t flags) override {
    if (inner_->Init(device, freq, flags)) return true;
    const std::string reason = inner_->ErrorText();
    if (requireAudio_) {
      initFailed_ = true;
      return false;
    }
    inner_ = CreateVirtualAudioLibrary(clock_);
    silenceReason_ = reason.empty() ? "no sound output could be opened" : reason;
    if (onSilent) onSilent(silenceReason_);
    return inner_->Init(device, freq, flags);
  }
  uint32_t StreamCreateFile(const std::string& path) override { return inner_->StreamCreateFile(path); }
  bool ChannelPlay(uint32_t handle, bool restart) override { return inner_->ChannelPlay(handle, restart); }
  uint32_t ChannelIsActive(uint32_t handle) override { return inner_->ChannelIsActive(handle); }
  bool ChannelPause(uint32_t handle) override { return inner_->ChannelPause(handle); }
  bool ChannelSetAttribute(uint32_t handle, uint32_t attrib, float value) override {
    return inner_->ChannelSetAttribute(handle, attrib, value);
  }
  bool Stop() override { return inner_->Stop(); }
  bool StreamFree(uint32_t handle) override { return inner_->StreamFree(handle); }
  bool Free() override { return inner_->Free(); }
  int64_t ChannelGetPosition(uint32_t handle) override { return inner_->ChannelGetPosition(handle); }
  bool ChannelSetPosition(uint32_t handle, int64_t ms) override { return inner_->ChannelSetPosition(handle, ms); }
  std::string ErrorText() override { return inner_->ErrorText(); }

 private:
  std::unique_ptr<AudioLibrary> inner_;
  Clock& clock_;
  bool requireAudio_;
  bool initFailed_ = false;
  std::string silenceReason_;
};

// The music library and effect player: the sound device, or, without one, the virtual
// engine on the same clock, which plays nothing but lets tracks end on time.
struct Audio {
  std::unique_ptr<AudioLibrary> library;
  std::unique_ptr<EffectDevice> effects;
  FallbackAudio* device = nullptr;  // the sound device, when one is used

  // Why the game plays without sound though sound was wanted; empty otherwise.
  std::string SilenceReason() const { return device ? device->silenceReason() : std::string(); }

  // After a run: with --require-audio the sound device did not start, so the run ended
  // at once.
  int Hint(int status) const {
    if (device && device->InitFailed()) {
      std::cerr << kProgram << ": no sound output could be opened"
                << (device->ErrorText().empty() ? "" : " (" + device->ErrorText() + ")")
                << "; without --require-audio the game plays without sound\n";
    }
    return status;
  }
};

Audio MakeAudio(const ProgramOptions& options, Clock& clock, bool windows) {
  AudioDeviceOptions device;
  device.soundfont = options.soundfont;
  // With windows the output opens while they are being built; start-up's Init takes the
  // result.
  device.openEarly = windows;
  Audio audio;
  if (options.noAudio) {
    audio.library = CreateVirtualAudioLibrary(clock);
    audio.effects = CreateVirtualEffectPlayer(clock);
  } else {
    auto fallback = std::make_unique<FallbackAudio>(CreateDeviceAudioLibrary(device), clock, options.requireAudio);
    audio.device = fallback.get();
    audio.library = std::move(fallback);
    audio.effects = CreateDeviceEffectPlayer(*audio.library);
  }
  return audio;
}

// --export-web GAME OUT.
int PublishForWeb(const char* program, const ProgramOptions& options) {
  std::error_code ec;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  const std::string runtime = FindWebRuntime(ec ? std::string(program) : self);
  if (runtime.empty())
    return Fail("the web runtime is not there: build it (Emscripten's emcmake is needed) or install the package", 1);
  auto pictures = CreatePictureDecoder();
  const WebExport done = ExportWeb(runtime, options.exportWebGame, options.gameArgs[0], options.codePage, *pictures);
  if (!done.ok) return Fail(done.message, 1);
  std::cout << done.message << '\n';
  return 0;
}

int Check(const std::string& folder) {
  bool errors = false;
  const CheckReport report = CheckStory(folder);
  for (const CheckFinding& finding : report.findings) {
    std::cout << EscapeControls(FormatFinding(finding)) << '\n';
    errors = errors || finding.error;
  }
  std::cout << FormatSummary(report) << '\n';
  return errors ? 1 : 0;
}

int Replay(const ProgramOptions& options, Platform platform, const GameOptions& gameOptions) {
  return PlayReplayFile(options, platform, gameOptions, {&CreateVirtualAudioLibrary, &CreateVirtualEffectPlayer},
                        std::cout, std::cerr);
}

int Terminal(const ProgramOptions& options, Platform platform, const GameOptions& gameOptions) {
  SteadyClock clock;
  Audio audio = MakeAudio(options, clock, false);
  ConsoleDialogs dialogs(std::cout);
  platform.clock = &clock;
  platform.audio = audio.library.get();
  platform.effects = audio.effects.get();
  platform.dialogs = &dialogs;
  Game game(platform, gameOptions);
  dialogs.SetCodec(&game.codec);
  if (audio.device) {
    audio.device->onSilent = [](const std::string& reason) {
      std::cout << "(no sound output: " << reason << "; playing without sound)\n";
    };
  }
  // On real time, the player's time to read stretches the page timers here too.
  const PlayerSettingsFile settings(Files());
  if (const std::string problem = settings.Problem(); !problem.empty()) std::cerr << kProgram << ": " << problem << '\n';
  const int timeToRead = settings.Load().timeToRead;
  game.pageActionTimer.SetStretch(timeToRead);
  game.answerTimer.SetStretch(timeToRead);
  return audio.Hint(PlayTerminal(game, dialogs, STDIN_FILENO, std::cout));
}

int Windows(int& argc, char** argv, const ProgramOptions& options, Platform platform,
            const GameOptions& gameOptions, WindowsPlay& play) {
  // Without a display Qt would abort; say what to do instead.
  if (!HaveDisplay())
    return Fail("no display to open the windows on; --text plays in the terminal", 2);
  if (options.selfVoicing) {
    // Turned on once, it stays on: the windows read the setting.
    const PlayerSettingsFile settingsFile(Files());
    PlayerSettings settings = settingsFile.Load();
    settings.selfVoicing = true;
    try {
      settingsFile.Save(settings);
    } catch (const RuntimeFault& fault) {
      std::cerr << "velmora-player: " << fault.what() << "\n";
    }
  }
  SteadyClock clock;
  Audio audio = MakeAudio(options, clock, true);
  platform.clock = &clock;
  platform.audio = audio.library.get();
  platform.effects = audio.effects.get();
  if (audio.device) {
    audio.device->onSilent = [](const std::string& reason) {
      std::cerr << kProgram << ": no sound output (" << reason << "); playing without sound\n";
    };
  }
  return audio.Hint(PlayInWindows(argc, argv, platform, gameOptions, &ReleaseBackgroundAudioWork,
                                  [&audio] { return !audio.SilenceReason().empty(); }, &play));
}

}  // namespace

int main(int argc, char** argv) {
  ProgramOptions options;
  if (const std::optional<int> status = ReadCommandLine(argc, argv, options, std::cout, std::cerr)) return *status;
  std::string error;

  if (options.mode == ProgramOptions::Mode::kLibrary) return OpenLibrary(argc, argv, options);
  if (options.mode == ProgramOptions::Mode::kExportWeb) return PublishForWeb(argv[0], options);

  // A folder opened with the windows that holds no game ("Open with" in a file manager)
  // is said so in a window; nothing is played, so no log is written.
  if (options.mode == ProgramOptions::Mode::kWindows && !options.gameFolder.empty() && HaveDisplay()) {
    std::error_code ec;
    const std::string folder = std::filesystem::absolute(options.gameFolder, ec).lexically_normal().string();
    const GameFolderInfo info = InspectGameFolder(Files(), folder, options.codePage);
    if (!info.isGame) {
      std::cerr << kProgram << ": " << info.problem << "; it is not a game folder\n";
      ShowNotAGame(argc, argv, Files(), folder, info);
      return 2;
    }
  }
  const std::string source = GameFolder(options, error);
  if (source.empty()) return Fail(error, 2);
  if (options.gameFolder.empty() && !InspectGameFolder(Files(), source, options.codePage).isGame)
    return NoGame(argc, argv, options, source);
  if (options.mode == ProgramOptions::Mode::kCheck) return Check(source);
  if (options.mode == ProgramOptions::Mode::kMap)
    return DrawStoryMap(source, options.mapFile, options.codePage, std::cout, std::cerr);
  if (options.mode == ProgramOptions::Mode::kCoverage)
    return ReportCoverage(source, options.coverageReplays, options.mapFile, options.codePage, std::cout, std::cerr);
  const int status = PlayGame(argc, argv, options, source);
  // "Game library..." in a game started without the library.
  if (status == kOpenLibraryStatus) return OpenLibrary(argc, argv, options);
  return status;
}

namespace {

int PlayGame(int& argc, char** argv, ProgramOptions options, const std::string& source) {
  std::string error;
  GameOptions gameOptions;
  // Files named on the command line stay where they were when a copy is entered.
  for (std::string* file : {&options.replayFile, &options.soundfont})
    if (!file->empty()) *file = std::filesystem::absolute(*file).string();
  gameOptions.gameFolder = source;
  // With windows, a long copy shows its progress.
  std::optional<CopyProgressWindow> copyWindow;
  CopyProgress progress;
  if (options.mode == ProgramOptions::Mode::kWindows && HaveDisplay()) {
    progress = copyWindow.emplace(argc, argv).Callback();
    InstallPlayerLanguage(Files());
  }
  // The library lists a start that failed first, with why.
  const bool windows = options.mode == ProgramOptions::Mode::kWindows;
  if (windows) MarkPlayed(options, source);
  bool copyMadeNow = false;
  if (!EnterPlayFolder(options, gameOptions.gameFolder, error, progress, copyMadeNow)) {
    // A copy a signal cut short is no fault of the game.
    if (windows && !StopSignals::Requested()) RememberStartFailure(options, source, error);
    return Fail(error, 2);
  }
  gameOptions.args = options.gameArgs;
  if (options.author) gameOptions.watchFolder = WatchGameFolder;
  gameOptions.codePage = options.codePage;
  // Replays are an author's own tests: their plug-ins load as they are.
  if (!options.trustPlugins && options.mode != ProgramOptions::Mode::kReplay) gameOptions.approvePlugin = AskOncePerPlugin;

  // LastStart.log and plugins/ stay relative to the current directory, as games expect.
  auto pictures = CreatePictureDecoder();
  auto libraries = CreateDlLoader();
  // The run's own files, whose writes it confines to its game; the player's own settings
  // (the library, the answers about plug-ins) are written through the other one.
  PosixFiles runFiles;
  Platform platform;
  platform.files = &runFiles;
  platform.pictures = pictures.get();
  platform.libraries = libraries.get();

  // From here on a logout, kill or Ctrl+C ends the game through its shutdown, with its writes.
  StopSignals stopSignals;
  // What reaches here is the program's own part missing (a module not installed).
  try {
    switch (options.mode) {
      case ProgramOptions::Mode::kReplay:
        return Replay(options, platform, gameOptions);
      case ProgramOptions::Mode::kText:
        return Terminal(options, platform, gameOptions);
      default: {
        WindowsPlay play;
        play.resume = options.resume;
        if (copyMadeNow) play.copyMadeIn = gameOptions.gameFolder;
        const int status = Windows(argc, argv, options, platform, gameOptions, play);
        RememberStartFailure(options, source, play.startFailure);
        if (!play.autoSave.empty()) RememberAutoSave(options, source, play.autoSave);
        return status;
      }
    }
  } catch (const RuntimeFault& fault) {
    if (windows) RememberStartFailure(options, source, fault.what());
    return Fail(fault.what(), 2);
  }
}

}  // namespace
