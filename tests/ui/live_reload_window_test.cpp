// Author mode in the windows: the game folder watched while a run waits; edits saved as
// editors save them (a new file renamed over the old) show at once, the run's variables
// kept; a broken edit leaves the run as it was and a notice names the file and line.
#include <gtest/gtest.h>

#include <filesystem>

#include <QTextEdit>

#include "platform/files/inotify_watch.h"
#include "script/script_library.h"
#include "story/page_loader.h"
#include "ui/live_reload_driver.h"
#include "ui_fixture.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::MainWindowTest;

class LiveReloadWindowTest : public MainWindowTest {
 protected:
  // Saves as editors do: a complete new file, renamed over the old one.
  void Save(const std::string& relative, const std::string& text) {
    const std::string saved = tg.dir.Write(relative + ".swp", text);
    std::filesystem::rename(saved, tg.dir.path() / relative);
  }
  int32_t N() { return tg.game().vars->IntValue(tg.game().vars->FindVar("n", false)); }
};

TEST_F(LiveReloadWindowTest, EditsShowWhileTheRunWaitsAndABrokenOneLeavesItAsItWas) {
  tg.dir.Write("Scripts/Scripts.bsf", "___script init $int.set n 7 ___end ___script count $int.add n 1 ___end");
  Game& game = Make("[a]\r\ntextsize=1\r\nLine0=Old text\r\n");
  LoadScriptLibrary(game);
  game.RunEvent([&] {
    RunScript(game, "init");
    LoadPage(game, "a");
  });
  Show();
  auto driver = LiveReloadDriver::Start(game, WatchGameFolder(tg.folder()), window.get());
  ASSERT_TRUE(driver);
  const auto shows = [&](const QString& text) { return window->storyText->toPlainText().contains(text); };

  Save("story.qst", "[a]\r\ntextsize=1\r\nLine0=New text: $_n steps\r\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return shows("New text: 7 steps"); }, 5000)) << window->storyText->toPlainText().toStdString();
  Save("Scripts/Scripts.bsf", "___script init $int.set n 0 ___end ___script count $int.add n 100 ___end");
  ASSERT_TRUE(QTest::qWaitFor([&] { return tg.game().scripts->FindScript("count") >= 0 && Logged("Live reload: Scripts.bsf reloaded"); }, 5000));
  RunScript(game, "count");
  EXPECT_EQ(N(), 107);

  Save("Scripts/Scripts.bsf", "___script count\r\n$int.add n 1000\r\n$string.set s \"open\r\n___end\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return driver->notice() && driver->notice()->isVisible(); }, 5000));
  EXPECT_TRUE(driver->notice()->text().contains("Scripts.bsf, line 3")) << driver->notice()->text().toStdString();
  RunScript(game, "count");
  EXPECT_EQ(N(), 207);  // the library as it was
  EXPECT_TRUE(shows("New text: 7 steps"));  // nothing reloaded, nothing shown again
}

}  // namespace
}  // namespace velmora
