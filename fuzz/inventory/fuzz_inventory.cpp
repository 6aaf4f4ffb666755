// Arbitrary bytes as Scripts/inventory.inv: loaded as the item definitions, the state file
// saved from them and loaded back as a saved game's. Nothing may crash, hang or allocate
// without bound; a file past the budgets is refused with a run-time fault.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/fault.h"
#include "base/game.h"
#include "inventory/inventory.h"
#include "platform/files/posix_files.h"
#include "run/headless.h"

namespace {

using namespace velmora;

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmora-fuzz-inventory-" + std::to_string(::getpid()));
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& f = Folder();
  std::filesystem::create_directories(f / "Scripts");
  std::ofstream(f / "Scripts" / "inventory.inv", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  std::error_code ec;
  std::filesystem::remove(f / "Scripts" / "inventory.sav", ec);

  static PosixFiles files;
  HeadlessServices services(files);
  GameOptions options;
  options.gameFolder = f.string() + "/";
  Game game(services.platform(), options);
  game.RunEvent([&] {
    LoadDefinitions(game);
    SaveInventory(game);
    const int before = game.inventory->Size();
    LoadState(game);  // every item is known already: nothing is added
    if (game.inventory->Size() != before) __builtin_trap();
  });
  return 0;
}
