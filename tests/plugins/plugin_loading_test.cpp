#include <algorithm>
#include <functional>
#include <set>

#include "plugins/plugin_fixture.h"
#include "base/text.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

// The entries of the plugins folder in the order the file system lists them.
std::vector<std::string> ListingOrder(const fs::path& folder) {
  std::vector<std::string> out;
  for (const auto& entry : fs::directory_iterator(folder)) out.push_back(entry.path().filename().string());
  return out;
}

TEST_F(PluginTest, LoadsEveryEntryEndingInTheExtensionInListingOrder) {
  Install(TP_DEMO_PATH, "demo.so");
  Install(TP_NO_PROCESS_PATH, "NOPROCESS.So");
  Install(TP_NAMELESS_PATH, "nameless.so");
  Install(TP_DEMO_UPPER_PATH, "readme.txt");  // a real library, but not by its name
  Install(TP_BARE_PATH, "bare.so.old");
  fs::create_directory(PluginsFolder() / "x.so");
  tg.dir.Write("plugins/junk.so", "not a library");
  Start();

  // Every file whose name ends in ".so" in any case is tried, junk included; a folder
  // cannot be read, so it never reaches the loader.
  const std::set<std::string> matching = {"demo.so", "NOPROCESS.So", "nameless.so", "junk.so"};
  std::vector<std::string> tried, logged = {"Loading plugins.."};
  for (const std::string& entry : ListingOrder(PluginsFolder())) {
    if (!matching.count(entry)) continue;
    tried.push_back("plugins/" + entry);
    if (entry == "demo.so" || entry == "NOPROCESS.So") logged.push_back(entry);
    if (entry == "junk.so") logged.push_back("Warning:Plugin junk.so not loaded: not a library for this system");
  }
  logged.push_back("done!");
  EXPECT_EQ(loader.loads, tried);
  EXPECT_EQ(Log(), logged);
  EXPECT_EQ(loader.unloads, 1);  // the library without GetPluginName

  ASSERT_EQ(Plugins().size(), 2u);
  for (LoadedPlugin* plugin : Plugins()) {
    SCOPED_TRACE(plugin->fileName);
    EXPECT_EQ(plugin->version, 2.5);
    EXPECT_NE(plugin->library, nullptr);
    EXPECT_NE(plugin->initializeEntry, nullptr);
    EXPECT_NE(plugin->hookedCommandsEntry, nullptr);
    if (plugin->fileName == "demo.so") {
      EXPECT_EQ(plugin->Name(), "Demo");
      EXPECT_NE(plugin->processCommandEntry, nullptr);
      // Split like script tokens: quoted words keep their blanks, doubled quotes stand for one.
      EXPECT_EQ(plugin->commands, (std::vector<std::string>{"demo.run", "two words", "say \"hi\"", "x"}));
    } else {
      EXPECT_EQ(plugin->fileName, "NOPROCESS.So");
      EXPECT_EQ(plugin->Name(), "NoProcess");
      EXPECT_EQ(plugin->processCommandEntry, nullptr);
      EXPECT_EQ(plugin->CommandText(), "test.one test.two");
      EXPECT_EQ(plugin->commands, (std::vector<std::string>{"test.one", "test.two"}));
    }
  }
}

// A library's constructor runs as it is opened, whatever it exports: a refused one is
// never opened. The front end decides from the entry's name and its bytes' checksum.
TEST_F(PluginTest, ALibraryTheFrontEndRefusesIsNeverOpened) {
  Install(TP_DEMO_PATH, "demo.so");
  Install(TP_NO_PROCESS_PATH, "refused.so");
  game = &tg.Make();
  std::vector<std::string> asked;
  game->options.approvePlugin = [&](Dialogs&, const std::string& name, const std::string& sha256) {
    asked.push_back(name + " " + sha256);
    return name != "refused.so";
  };
  LoadPlugins(*game);
  ASSERT_EQ(asked.size(), 2u);
  std::sort(asked.begin(), asked.end());
  std::string sum = "sha256sum < '" + (PluginsFolder() / "refused.so").string() + "'";
  FILE* pipe = popen(sum.c_str(), "r");
  char digest[65] = {};
  ASSERT_EQ(fread(digest, 1, 64, pipe), 64u);
  pclose(pipe);
  EXPECT_EQ(asked[1], "refused.so " + std::string(digest));
  EXPECT_EQ(loader.loads, std::vector<std::string>{"plugins/demo.so"});
  ASSERT_EQ(Plugins().size(), 1u);
  const std::vector<std::string> log = Log();
  EXPECT_NE(std::find(log.begin(), log.end(), "Warning:Plugin refused.so not loaded: not trusted"), log.end());
}

TEST_F(PluginTest, LibraryWithOnlyGetPluginNameLoadsAndIsNeverCalledThroughAMissingExport) {
  Install(TP_BARE_PATH, "bare.so");
  Start();
  ASSERT_EQ(Plugins().size(), 1u);
  const LoadedPlugin& bare = *Plugins()[0];
  EXPECT_EQ(bare.Name(), "Bare");
  EXPECT_EQ(bare.version, 0.0);
  EXPECT_EQ(bare.commandText, nullptr);
  EXPECT_TRUE(bare.commands.empty());
  EXPECT_EQ(bare.initializeEntry, nullptr);
  EXPECT_EQ(bare.processCommandEntry, nullptr);

  Init("bare");
  EXPECT_EQ(Log(), (std::vector<std::string>{"Loading plugins..", "bare.so", "done!",
                                             "Warning:Could not initialize plugin bare!"}));
}

// Cases where nothing loads. "done!" is written exactly when some entry matched.
struct EmptyCase {
  const char* what;
  std::function<void(PluginTest&)> arrange;
  bool done;
};

class NothingLoads : public PluginTest, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(NothingLoads, LogsOnlyWhatTheListingJustifies) {
  GetParam().arrange(*this);
  Start();
  EXPECT_TRUE(Plugins().empty());
  std::vector<std::string> expected = {"Loading plugins.."};
  if (GetParam().done) expected.push_back("done!");
  EXPECT_EQ(Log(), expected);
}

const EmptyCase kEmptyCases[] = {
    {"no folder", [](PluginTest&) {}, false},
    {"a file named plugins", [](PluginTest& test) { test.tg.dir.Write("plugins", "x"); }, false},
    {"no entry ends in the extension",
     [](PluginTest& test) {
       test.Install(TP_DEMO_PATH, "demo.dll");
       test.Install(TP_DEMO_PATH, "demo.so.1");
     },
     false},
    {"only a folder named x.so", [](PluginTest& test) { fs::create_directories(test.PluginsFolder() / "x.so"); }, true},
    {"no loader",
     [](PluginTest& test) {
       test.Install(TP_DEMO_PATH, "demo.so");
       test.tg.platform.libraries = nullptr;
     },
     false},
};

std::string CaseName(const ::testing::TestParamInfo<EmptyCase>& param) {
  std::string name;
  for (char c : std::string(param.param.what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Plugins, NothingLoads, ::testing::ValuesIn(kEmptyCases), CaseName);

TEST_F(PluginTest, ComponentListHoldsTheFourWindowObjectsInOrder) {
  Start();
  TComponentList list = game->plugins->impl()->componentList;
  ASSERT_EQ(VelmoraArrayCount(list), 4);
  EXPECT_EQ((reinterpret_cast<const VelmoraArrayHeader*>(list) - 1)->refCount, 1);
  const char* names[] = {"VELMORA_FORM", "VELMORA_CHOICEMENU", "VELMORA_STORY_TEXT", "VELMORA_STORY_PICTURE"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::string(list[i].name.chars, list[i].name.length), names[i]);
    EXPECT_EQ(list[i].component, &windows[i]);
  }
}

}  // namespace
}  // namespace velmora::testing
