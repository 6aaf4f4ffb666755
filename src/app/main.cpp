// Program entry: reads the command line, lends the core the machine's services and hands
// the game to one of the front ends (windows, terminal, replay) or to the story checker.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "velmora_version.h"
#include "platform/audio/audio_devices.h"
#include "console/console_dialogs.h"
#include "console/program_options.h"
#include "console/replay_runner.h"
#include "base/steady_clock.h"
#include "console/terminal_player.h"
#include "platform/dl/dl_loader.h"
#include "base/game.h"
#include "base/virtual_clock.h"
#include "platform/pictures/picture_decoders.h"
#include "tools/story_checker.h"
#include "ui/windows_program.h"

namespace {

using namespace velmora;

const char kProgram[] = "velmora-player";

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

// The music library and effect player: the sound device, or, without one, the virtual
// engine on the same clock, which plays nothing but lets tracks end on time.
struct Audio {
  std::unique_ptr<AudioLibrary> library;
  std::unique_ptr<EffectDevice> effects;
};

Audio MakeAudio(const ProgramOptions& options, Clock& clock) {
  AudioDeviceOptions device;
  device.soundfont = options.soundfont;
  bool silent = options.noAudio;
  if (!silent && options.audioFallback) {
    std::string reason;
    if (!ProbeAudioOutput(device, &reason)) {
      std::cerr << kProgram << ": no sound output (" << (reason.empty() ? "no device" : reason)
                << "); playing without sound\n";
      silent = true;
    }
  }
  Audio audio;
  if (silent) {
    audio.library = CreateVirtualAudioLibrary(clock);
    audio.effects = CreateVirtualEffectPlayer(clock);
  } else {
    audio.library = CreateDeviceAudioLibrary(device);
    audio.effects = CreateDeviceEffectPlayer(*audio.library);
  }
  return audio;
}

int Check(const std::string& folder) {
  bool errors = false;
  for (const CheckFinding& finding : CheckStory(folder)) {
    std::cout << FormatFinding(finding) << '\n';
    errors = errors || finding.error;
  }
  return errors ? 1 : 0;
}

int Replay(const ProgramOptions& options, Platform platform, const GameOptions& gameOptions) {
  std::ifstream file(options.replayFile, std::ios::binary);
  if (!file) return Fail("cannot read the replay file " + options.replayFile, 2);
  std::vector<Step> steps;
  std::vector<std::string> errors;
  if (!ReadReplay(file, steps, errors)) {
    for (const std::string& e : errors) std::cerr << options.replayFile << ": " << e << '\n';
    return 2;
  }
  VirtualClock clock;
  auto library = CreateVirtualAudioLibrary(clock);
  auto effects = CreateVirtualEffectPlayer(clock);
  ConsoleDialogs dialogs(std::cout);
  platform.clock = &clock;
  platform.audio = library.get();
  platform.effects = effects.get();
  platform.dialogs = &dialogs;
  Game game(platform, gameOptions);
  dialogs.SetCodec(&game.codec);
  return PlayReplay(game, clock, dialogs, steps, std::cout);
}

int Terminal(const ProgramOptions& options, Platform platform, const GameOptions& gameOptions) {
  SteadyClock clock;
  Audio audio = MakeAudio(options, clock);
  ConsoleDialogs dialogs(std::cout);
  platform.clock = &clock;
  platform.audio = audio.library.get();
  platform.effects = audio.effects.get();
  platform.dialogs = &dialogs;
  Game game(platform, gameOptions);
  dialogs.SetCodec(&game.codec);
  return PlayTerminal(game, dialogs, STDIN_FILENO, std::cout);
}

int Windows(int& argc, char** argv, const ProgramOptions& options, Platform platform,
            const GameOptions& gameOptions) {
  // Without a display Qt would abort; say what to do instead.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    return Fail("no display to open the windows on; --text plays in the terminal", 2);
  SteadyClock clock;
  Audio audio = MakeAudio(options, clock);
  platform.clock = &clock;
  platform.audio = audio.library.get();
  platform.effects = audio.effects.get();
  return PlayInWindows(argc, argv, platform, gameOptions);
}

}  // namespace

int main(int argc, char** argv) {
  ProgramOptions options;
  std::string error;
  if (!ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), options, error))
    return Fail(error + " (see --help)", 2);
  if (options.help) {
    std::cout << UsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "Velmora Player v " VELMORA_VERSION " (" << kProgram << ' ' << VELMORA_VERSION_FULL << ")\n";
    return 0;
  }

  GameOptions gameOptions;
  gameOptions.gameFolder = GameFolder(options, error);
  if (gameOptions.gameFolder.empty()) return Fail(error, 2);
  gameOptions.args = options.gameArgs;
  gameOptions.codePage = options.codePage;
  if (options.mode == ProgramOptions::Mode::kCheck) return Check(gameOptions.gameFolder);

  // LastStart.log and plugins/ stay relative to the current directory, as games expect.
  auto pictures = CreatePictureDecoder();
  auto libraries = CreateDlLoader();
  Platform platform;
  platform.pictures = pictures.get();
  platform.libraries = libraries.get();

  switch (options.mode) {
    case ProgramOptions::Mode::kReplay:
      return Replay(options, platform, gameOptions);
    case ProgramOptions::Mode::kText:
      return Terminal(options, platform, gameOptions);
    default:
      return Windows(argc, argv, options, platform, gameOptions);
  }
}
