// Attacks on the player's consent: what it approved must be all that runs.
#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "plugins/plugin_fixture.h"
#include "base/sha256.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Puts a copy of built at plugins/entry in one rename, as an attacker would.
void SwapIn(const fs::path& folder, const char* built, const std::string& entry) {
  const fs::path spare = folder / (entry + ".swap");
  fs::copy_file(built, spare, fs::copy_options::overwrite_existing);
  fs::rename(spare, folder / entry);
}

// A plug-in whose RUNPATH is $ORIGIN loads a library beside it, whose bytes the player
// never saw: such plug-ins are refused before any of their code runs, whether the
// dependency is the one that was there at the question or one put there after it.
TEST_F(PluginTest, APluginThatWouldLoadALibraryFromBesideItIsRefused) {
  Install(TP_WITHDEP_PATH, "withdep.so");
  Install(TP_HELPER_PATH, TP_HELPER_NAME);
  const std::string mark = (tg.dir.path() / "helper-ran").string();
  setenv("TP_HELPER_MARK", mark.c_str(), 1);

  // The fault this guards against: loaded by its path, the plug-in runs the helper.
  void* direct = dlopen((PluginsFolder() / "withdep.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(direct, nullptr) << dlerror();
  dlclose(direct);
  ASSERT_TRUE(fs::exists(mark));
  fs::remove(mark);

  game = &tg.Make();
  std::vector<std::string> asked;
  game->options.approvePlugin = [&](Dialogs&, const std::string& name, const std::string&) {
    asked.push_back(name);
    return true;
  };
  LoadPlugins(*game);
  // The helper is replaced after the approval; the next start is no different.
  fs::remove(PluginsFolder() / TP_HELPER_NAME);
  tg.dir.Write(std::string("plugins/") + TP_HELPER_NAME, FileBytes(TP_HELPER_PATH) + "changed");
  LoadPlugins(*game);
  unsetenv("TP_HELPER_MARK");

  EXPECT_EQ(asked, (std::vector<std::string>{"withdep.so", "withdep.so"}));
  EXPECT_TRUE(Plugins().empty());
  EXPECT_FALSE(fs::exists(mark));
  const std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(),
                       "Warning:Plugin withdep.so not loaded: it looks for libraries in $ORIGIN, outside the "
                       "system's library folders"),
            2);
}

// The bytes approved are the bytes loaded: a swap of the file after its checksum was taken,
// by the question itself or by a thread renaming files in a loop, loads nothing unapproved.
TEST_F(PluginTest, ASwapAfterTheChecksumNeverLoadsUnapprovedCode) {
  Install(TP_DEMO_PATH, "p.so");
  const std::string approved = Sha256Hex(FileBytes(TP_DEMO_PATH));
  game = &tg.Make();
  int approvals = 0;
  bool swapInQuestion = true;
  game->options.approvePlugin = [&](Dialogs&, const std::string&, const std::string& sha256) {
    if (sha256 != approved) return false;
    ++approvals;
    if (swapInQuestion) SwapIn(PluginsFolder(), TP_DEMO_UPPER_PATH, "p.so");
    return true;
  };
  LoadPlugins(*game);
  ASSERT_EQ(Plugins().size(), 1u);
  EXPECT_EQ(Plugins()[0]->Name(), "Demo");

  swapInQuestion = false;
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    for (bool demo = false; !stop; demo = !demo) SwapIn(PluginsFolder(), demo ? TP_DEMO_PATH : TP_DEMO_UPPER_PATH, "p.so");
  });
  for (int start = 0; start < 40; ++start) LoadPlugins(*game);
  stop = true;
  swapper.join();

  EXPECT_EQ(Plugins().size(), static_cast<size_t>(approvals));
  for (LoadedPlugin* plugin : Plugins()) EXPECT_EQ(plugin->Name(), "Demo");
}

}  // namespace
}  // namespace velmora::testing
