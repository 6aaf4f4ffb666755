// The replay runner compiled to WebAssembly and run by Node: `velmora-replay --game DIR
// --replay FILE [GAME ARGUMENT...]` plays as `velmora-player --replay` does, through the
// same runner, so the two builds can be held to the same transcript and files. Files are
// Node's (the real file system: paths and the current directory mean what they mean to
// the shell); sounds are timed from their headers; pictures are not decoded.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "base/fault.h"
#include "base/game.h"
#include "console/program_options.h"
#include "console/replay_runner.h"
#include "platform/audio/audio_devices.h"
#include "platform/audio/audio_module.h"
#include "platform/files/posix_files.h"

namespace velmora {

// The virtual engine linked in: there are no modules to load, and no decoding library.
std::unique_ptr<AudioLibrary> CreateVirtualAudioLibrary(Clock& clock) { return audio::MakeVirtualLibrary(clock); }
namespace audio {
Length ProbeLength(const std::string& path) { return HeaderLength(path); }
}  // namespace audio

}  // namespace velmora

namespace {

using namespace velmora;

int Fail(const std::string& message, int status) {
  std::cerr << "velmora-player: " << message << '\n';
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  ProgramOptions options;
  if (const std::optional<int> status = ReadCommandLine(argc, argv, options, std::cout, std::cerr)) return *status;
  if (options.mode != ProgramOptions::Mode::kReplay || options.gameFolder.empty() || options.copyGame)
    return Fail("this build plays replays only: --game DIR --replay FILE", 2);

  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path folder = fs::absolute(options.gameFolder, ec).lexically_normal();
  if (ec || !fs::is_directory(folder, ec)) return Fail("no game folder at " + options.gameFolder, 2);
  GameOptions gameOptions;
  gameOptions.gameFolder = folder.string();
  if (gameOptions.gameFolder.back() != '/') gameOptions.gameFolder += '/';
  gameOptions.args = options.gameArgs;
  gameOptions.codePage = options.codePage;

  PosixFiles files;
  Platform platform;
  platform.files = &files;
  try {
    return PlayReplayFile(options, platform, gameOptions, {&CreateVirtualAudioLibrary, &CreateVirtualEffectPlayer},
                          std::cout, std::cerr);
  } catch (const RuntimeFault& fault) {
    return Fail(fault.what(), 2);
  }
}
