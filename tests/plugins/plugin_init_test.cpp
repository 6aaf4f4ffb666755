#include "inventory/inventory.h"
#include "plugins/plugin_fixture.h"
#include "script/script_library.h"
#include "base/fault.h"
#include "vars/var_store.h"

namespace velmora::testing {
namespace {

TEST_F(PluginTest, InitHandsOverTheCurrentTablesEachTime) {
  Install(TP_DEMO_PATH, "demo.so");
  Start();
  game->vars->NewIntVar("plugin_calls", 0);
  const LoadedPlugin& demo = *Plugins().at(0);

  Init("demo");  // the name is matched without regard to ASCII case
  EXPECT_EQ(LastInitializeArguments(demo),
            (std::vector<void*>{&game->plugins->impl()->componentList, game->vars->StrVarsAddress(),
                                game->vars->IntVarsAddress(), nullptr}));

  // The inventory is handed over as the array itself, so a later call sees where it is now.
  ItemFields key;
  key.name = "key";
  game->inventory->Append(key);
  Init("DEMO");
  EXPECT_EQ(LastInitializeArguments(demo).at(3), game->inventory->ArrayAddress());
  EXPECT_NE(game->inventory->ArrayAddress(), nullptr);

  EXPECT_EQ(InitializeCalls(demo), 2);
  EXPECT_EQ(game->vars->IntValue(game->vars->FindVar("plugin_calls", false)), 2);
  const std::vector<std::string> log = Log();
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
            (std::vector<std::string>{"Plugin: Demo initialized;", "Plugin: Demo initialized;"}));
}

TEST_F(PluginTest, SameNameInAnotherCaseTheOneLoadedLaterIsInitialised) {
  Install(TP_DEMO_PATH, "first.so");
  Install(TP_DEMO_UPPER_PATH, "second.so");
  Start();
  ASSERT_EQ(Plugins().size(), 2u);
  const LoadedPlugin& earlier = *Plugins()[0];
  const LoadedPlugin& later = *Plugins()[1];

  Init("demo");
  EXPECT_EQ(InitializeCalls(earlier), 0);
  EXPECT_EQ(InitializeCalls(later), 1);
  EXPECT_EQ(Log().back(), "Plugin: " + std::string(later.Name()) + " initialized;");
}

TEST_F(PluginTest, UnknownNameIsAWarningAndCallsNothing) {
  Install(TP_DEMO_PATH, "demo.so");
  Start();
  for (const char* name : {"Nobody", "Dem", "Demo2", ""}) {
    Init(name);
    EXPECT_EQ(Log().back(), "Warning:Could not initialize plugin " + std::string(name) + "!");
  }
  EXPECT_EQ(InitializeCalls(*Plugins().at(0)), 0);
}

TEST_F(PluginTest, InitWithoutItsArgumentIsAFault) {
  Start();
  try {
    RunCommand(*game, {"$plugin.init"}, CmdPluginInit);
    FAIL() << "no fault";
  } catch (const RuntimeFault& fault) {
    EXPECT_STREQ(fault.what(), "List index out of bounds (1)");
  }
}

// The plug-in counts its calls in plugin_calls and renames rename_me to renamed; the
// script reads both afterwards.
TEST_F(PluginTest, ScriptReadsWhatThePluginChanged) {
  Install(TP_DEMO_PATH, "demo.so");
  tg.dir.Write("Scripts/Scripts.bsf",
               "___script main\n"
               "$int.new plugin_calls $int.new result $string.new rename_me\n"
               "$plugin.init Demo\n"
               "$int.set result plugin_calls $int.add result 10\n"
               "$string.set renamed changed\n"
               "___end\n");
  Start();
  LoadScriptLibrary(*game);
  RunScript(*game, "main");

  VarStore& vars = *game->vars;
  EXPECT_EQ(vars.IntValue(vars.FindVar("result", false)), 11);
  // $string.set found the renamed record instead of making a variable of that name.
  ASSERT_EQ(vars.StrCount(), 1);
  EXPECT_EQ(vars.StrName(0), "renamed");
  EXPECT_EQ(vars.StrValue(0), "changed");
  EXPECT_EQ(vars.FindVar("rename_me", true), -1);
}

// The kit's sample: reads gold and the key's count, writes sample_report.
TEST_F(PluginTest, SamplePluginReportsThroughTheMemoryForms) {
  Install(SAMPLE_PLUGIN_PATH, "sample_plugin.so");
  Start();
  ASSERT_EQ(Plugins().size(), 1u);
  EXPECT_EQ(Plugins()[0]->Name(), "Sample");
  EXPECT_EQ(Plugins()[0]->version, 1.0);
  EXPECT_EQ(Plugins()[0]->commands, (std::vector<std::string>{"sample.report", "sample.reset"}));

  VarStore& vars = *game->vars;
  vars.NewIntVar("gold", 25);
  vars.NewStrVar("sample_report", "");
  ItemFields key;
  key.name = "key";
  key.count = 3;
  game->inventory->Append(key);
  Init("sample");
  EXPECT_EQ(vars.StrValue(vars.FindVar("sample_report", true)), "gold 25, keys 3, window shown");
}

}  // namespace
}  // namespace velmora::testing
