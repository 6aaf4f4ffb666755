// Tab reaches every control of each window, so a player without a mouse can use them all:
// the main window, the Save/Load window, the library, the settings and the inventory.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>
#include <set>
#include <utility>
#include <vector>

#include "base/game.h"
#include "inventory/inventory_window_state.h"
#include "library/game_library.h"
#include "platform/files/posix_files.h"
#include "script/script_library.h"
#include "story/page_loader.h"
#include "ui/choice_list.h"
#include "ui/inventory_window.h"
#include "ui/library_window.h"
#include "ui/save_actions.h"
#include "ui/save_load_window.h"
#include "ui/settings_window.h"
#include "ui/title_bar.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

using Controls = std::vector<std::pair<const char*, QWidget*>>;

// Shows the window, puts the focus on its first control and presses Tab twice as often as
// it has controls; returns the names of those the focus never reached, and of any it
// reached outside the window.
std::vector<std::string> NotReached(QWidget& window, const Controls& controls) {
  window.show();
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  controls.front().second->setFocus(Qt::TabFocusReason);
  std::set<QWidget*> reached;
  for (size_t k = 0; k < 2 * controls.size(); ++k) {
    reached.insert(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  std::vector<std::string> missed;
  for (const auto& [name, control] : controls) {
    EXPECT_TRUE(control->isEnabled()) << name << ": the case must enable it";
    if (!reached.count(control)) missed.push_back(name);
  }
  for (QWidget* focused : reached)
    if (focused && focused->window() != &window) missed.push_back("outside: " + focused->objectName().toStdString());
  window.hide();
  return missed;
}

class TabOrderTest : public testing::MainWindowTest {
 protected:
  TabOrderTest() { setenv("XDG_DATA_HOME", data.path().c_str(), 1); }
  ~TabOrderTest() override { unsetenv("XDG_DATA_HOME"); }
  testing::TempDir data;
};

TEST_F(TabOrderTest, TabReachesEveryControlOfEachWindow) {
  tg.dir.Write("Scripts/Scripts.bsf", "___script door $goto start ___end\n");
  tg.dir.Write("Scripts/inventory.inv",
               "[Inventory]\nTotalItems=1\n[Item0]\nName=lamp\nDisplayName=Lamp\nCount=1\nEnabled=1\nCanEquip=1\n");
  Game& game = Make("[start]\ntextsize=1\nLine0=Dawn.\nActionsCount=2\n"
                    "Action0.Script=door\nAction0.LinesCount=1\nAction0.Line0=Door\n"
                    "Action1.Script=door\nAction1.LinesCount=1\nAction1.Line0=Hall\n");
  LoadScriptLibrary(game);
  LoadPage(game, "start");
  SaveActions actions(game, *window);
  Show();

  MainWindow& main = *window;
  EXPECT_EQ(NotReached(main, {{"choices", main.choiceList},
                              {"story text", main.storyText},
                              {"Audio...", main.titleBar->audioItem},
                              {"Инвентарь", main.titleBar->inventoryItem},
                              {"close box", main.titleBar->closeBox}}),
            std::vector<std::string>{});

  ASSERT_TRUE(actions.saves().Save(1, actions.Thumbnail(), std::string("kept")).done);
  SaveLoadWindow saving(game, actions.saves(), SaveLoadWindow::Mode::kSave, [&actions] { return actions.Thumbnail(); },
                        &main);  // opens at slot 1, which holds a save: Delete is on
  EXPECT_EQ(NotReached(saving, {{"slots", saving.slotGrid},
                                {"name", saving.nameField},
                                {"Save", saving.actionButton},
                                {"Delete", saving.deleteButton},
                                {"Close", saving.closeButton}}),
            std::vector<std::string>{});

  testing::TempDir home;
  PosixFiles files;
  GameLibrary library(files, (home.path() / "library.ini").string());
  library.Add(tg.dir.path().string());
  library.SetAutoSave(tg.dir.path().string(), actions.saves().SlotPath(1));
  LibraryWindow shelf(library, files);  // the game selected, with "Continue"
  EXPECT_EQ(NotReached(shelf, {{"games", shelf.gameList},
                               {"Add", shelf.addButton},
                               {"Scan", shelf.scanButton},
                               {"Remove", shelf.removeButton},
                               {"Continue", shelf.continueButton},
                               {"Play", shelf.playButton}}),
            std::vector<std::string>{});

  SettingsWindow settings(PlayerSettings{}, &main);
  auto* buttons = settings.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(NotReached(settings, {{"language", settings.language},
                                  {"self-voicing", settings.selfVoicing},
                                  {"speech rate", settings.speechRate},
                                  {"speech volume", settings.speechVolume},
                                  {"time to read", settings.timeToRead},
                                  {"countdown", settings.countdown},
                                  {"text size", settings.textSize},
                                  {"high contrast", settings.highContrast},
                                  {"OK", buttons->button(QDialogButtonBox::Ok)},
                                  {"Cancel", buttons->button(QDialogButtonBox::Cancel)}}),
            std::vector<std::string>{});

  InventoryWindow inventory(game, &main);
  game.inventoryWindow->Open(game);
  game.inventoryWindow->Select(game, 0);  // the lamp: "Ипольз." and "Надеть" are on
  EXPECT_EQ(NotReached(inventory, {{"items", inventory.itemList},
                                   {"description", inventory.description},
                                   {"Ипольз.", inventory.useButton},
                                   {"Надеть", inventory.wearButton},
                                   {"Закрыть", inventory.closeButton}}),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace velmora
