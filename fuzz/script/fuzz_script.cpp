// Arbitrary bytes as a script library: every script found in it runs as a window event
// would run it, on a silent platform (boxes that are never answered, a virtual clock so
// that $sleep does not block) and under tight chain bounds. Nothing may crash, hang or
// touch memory it does not own; run-time faults are the expected way for bad scripts to end.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/silent_platform.h"
#include "inventory/inventory.h"
#include "script/interpreter.h"
#include "script/script_library.h"
#include "base/game.h"
#include "run/headless.h"
#include "base/ini_document.h"
#include "base/virtual_clock.h"
#include "platform/files/posix_files.h"

namespace {

using namespace velmora;

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmora-fuzz-script-" + std::to_string(::getpid()));
  return folder;
}

// The game's files. Scripts write into the story file ($action.SetState) and the
// inventory state file, so those two are put back for every input; the rest once.
void WriteGame() {
  const auto& f = Folder();
  static const bool once = [&] {
    WriteFile(f / "config.ini", "[Start]\r\nStartPage=a\r\n[GameLoad]\r\nPage=b\r\n");
    WriteFile(f / "music.lst", "");
    WriteFile(f / "Scripts" / "messages.ini", "[Messages]\r\nhello=Hello\r\n");
    WriteFile(f / "Scripts" / "inventory.inv",
              "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=lamp\r\nDisplayName=Lamp\r\nScript=a\r\nMaxCount=3\r\n");
    return true;
  }();
  (void)once;
  std::error_code ec;
  std::filesystem::remove(f / "Scripts" / "inventory.sav", ec);
  static const std::string story =
      "[a]\r\nPage.TextSize=1\r\nLine0=$_x $_s\r\nActionsCount=1\r\nAction0.LinesCount=1\r\nAction0.Line0=go\r\n"
      "Action0.Script=a\r\n[b]\r\nPage.Cutscene=1\r\nPage.Delay=10\r\nPage.Action=$run\r\nPage.Param=a\r\n";
  std::ifstream in(f / "story.qst", std::ios::binary);
  const std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (now != story) WriteFile(f / "story.qst", story);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteGame();
  static PosixFiles files;
  HeadlessServices services(files);
  GameOptions options;
  options.gameFolder = Folder().string() + "/";
  Game game(services.platform(), options);
  game.config = std::make_unique<IniDocument>(files, options.gameFolder + "config.ini");
  game.story = std::make_unique<IniDocument>(files, options.gameFolder + "story.qst");
  game.tracklist = std::make_unique<IniDocument>(files, options.gameFolder + "music.lst");
  game.messages = std::make_unique<IniDocument>(files, options.gameFolder + "Scripts/messages.ini");
  game.interp->limits.maxCommands = 5'000;
  LoadDefinitions(game);

  game.scripts->scripts =
      CutIntoBlocks(*game.interp->commands, SplitTokens(std::string_view(reinterpret_cast<const char*>(data), size)));
  game.scripts->Reindex();
  for (size_t i = 0; i < game.scripts->scripts.size(); ++i) {
    const std::string name = game.scripts->scripts[i].name;
    game.RunEvent([&] { RunScript(game, name); });
    services.clock.Advance(20);  // page timers that scripts switched on fire between events
    game.timers.FireDue();
  }
  return 0;
}
