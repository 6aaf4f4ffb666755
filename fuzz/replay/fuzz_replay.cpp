// Arbitrary bytes as a replay file: read as steps, and when they read, played from
// start-up to shutdown on a small game on a virtual clock. Nothing may crash or hang.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/game.h"
#include "console/console_dialogs.h"
#include "console/replay_runner.h"
#include "platform/files/posix_files.h"
#include "run/headless.h"
#include "script/interpreter.h"

namespace {

using namespace velmora;

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// A game with a choice, a cutscene, an input prompt and an item, written afresh each time
// (the run writes back into it).
const std::filesystem::path& WriteGame() {
  static const std::filesystem::path f =
      std::filesystem::temp_directory_path() / ("velmora-fuzz-replay-" + std::to_string(::getpid()));
  WriteFile(f / "config.ini", "[GameForm]\r\nCaption=Fuzz\r\n");
  WriteFile(f / "music.lst", "[tune]\r\nTrack=none.ogg\r\nNextTrack=tune\r\n");
  WriteFile(f / "story.qst",
            "[gamestart]\r\ntextsize=1\r\nLine0=Start $_name\r\nActionsCount=2\r\nAction0.Script=ask\r\n"
            "Action0.LinesCount=1\r\nAction0.Line0=Ask\r\nAction1.Script=give\r\nAction1.LinesCount=1\r\n"
            "Action1.Line0=Give\r\nPage.Cutscene=1\r\nPage.Delay=500\r\nPage.Action=$goto\r\nPage.Param=end\r\n"
            "[end]\r\ntextsize=1\r\nLine0=End\r\n");
  WriteFile(f / "Scripts" / "messages.ini", "[Messages]\r\nq=Name?\r\n");
  WriteFile(f / "Scripts" / "Scripts.bsf",
            "___script ask $string.get name q $showmessage q ___end\r\n"
            "___script give $inventory.add lamp 1 $player.playtrack tune ___end\r\n");
  WriteFile(f / "Scripts" / "inventory.inv",
            "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=lamp\r\nScript=give\r\nMaxCount=3\r\nCanEquip=1\r\n");
  std::error_code ec;
  std::filesystem::remove(f / "Scripts" / "inventory.sav", ec);
  return f;
}

}  // namespace

// The run writes LastStart.log in the current directory, so the fuzzer runs in the game
// folder; the corpus folders and files named on the command line are made absolute first,
// or the fuzzer would look for them (and write new inputs and crashes) in the wrong place.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static std::vector<std::string> absolute;
  static std::vector<char*> args;
  absolute.reserve(static_cast<size_t>(*argc));
  for (int i = 0; i < *argc; ++i) {
    std::string arg = (*argv)[i];
    const size_t eq = arg.find('=');
    const bool option = arg.starts_with("-");
    const bool pathOption = option && eq != std::string::npos &&
                            (arg.starts_with("-artifact_prefix=") || arg.starts_with("-exact_artifact_path=") ||
                             arg.starts_with("-dict=") || arg.starts_with("-features_dir="));
    if (i > 0 && !option) {
      arg = std::filesystem::absolute(arg).string();
    } else if (pathOption && eq + 1 < arg.size()) {
      // A prefix keeps its trailing separator (it is glued to the file name); absolute keeps it.
      arg = arg.substr(0, eq + 1) + std::filesystem::absolute(arg.substr(eq + 1)).string();
    }
    absolute.push_back(std::move(arg));
  }
  for (std::string& arg : absolute) args.push_back(arg.data());
  args.push_back(nullptr);
  *argv = args.data();
  std::error_code ec;
  std::filesystem::current_path(WriteGame(), ec);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<Step> steps;
  std::vector<std::string> errors;
  if (!ReadReplay(in, steps, errors) || steps.size() > 200) return 0;

  static PosixFiles files;
  const auto& folder = WriteGame();
  HeadlessServices services(files);
  std::ostringstream out;
  ConsoleDialogs dialogs(out);  // answers the prompts the steps queue
  Platform platform = services.platform();
  platform.dialogs = &dialogs;
  GameOptions options;
  options.gameFolder = folder.string() + "/";
  Game game(platform, options);
  dialogs.SetCodec(&game.codec);
  game.interp->limits.maxCommands = 5'000;
  PlayReplay(game, services.clock, dialogs, steps, out);
  return 0;
}
