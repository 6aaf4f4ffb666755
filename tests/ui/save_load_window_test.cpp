// Saved games in the windows: the main window's keys for them, and the Save and Load
// windows with their grid of slots, names and thumbnails. With VELMORA_SCREENSHOT_DIR set
// (docs/screenshots/take-save-window.sh runs this under Xvfb) the Load window is kept as a
// picture for the README.
#include <QAction>
#include <QMessageBox>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>

#include "save/save_games.h"
#include "script/script_library.h"
#include "story/choice_menu.h"
#include "base/main_window_state.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "ui/choice_list.h"
#include "ui/save_actions.h"
#include "ui/save_load_window.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

class SaveLoadWindowTest : public testing::MainWindowTest {
 protected:
  SaveLoadWindowTest() { setenv("XDG_DATA_HOME", data.path().c_str(), 1); }
  ~SaveLoadWindowTest() override { unsetenv("XDG_DATA_HOME"); }

  Game& MakeGame() {
    tg.dir.Write("Scripts/Scripts.bsf",
                 "___script door $int.new steps $int.add steps 1 $goto door ___end\n"
                 "___script hall $int.add steps 1 $goto hall ___end\n");
    Game& game = Make(
        "[start]\ntextsize=2\nLine0=The lighthouse keeper wakes before dawn.\nLine1=The lamp is cold.\n"
        "ActionsCount=1\nAction0.Script=door\nAction0.LinesCount=1\nAction0.Line0=Go to the door\n"
        "[door]\ntextsize=1\nLine0=The door creaks; $_steps step(s) taken.\nActionsCount=1\n"
        "Action0.Script=hall\nAction0.LinesCount=1\nAction0.Line0=Into the hall\n"
        "[hall]\ntextsize=1\nLine0=A long hall; $_steps step(s) taken.\n",
        "[GameForm]\nCaption=Save test\n");
    LoadScriptLibrary(game);
    LoadPage(game, "start");
    actions = std::make_unique<SaveActions>(game, *window);
    Show();
    return game;
  }

  void Choose() {
    Game& game = tg.game();
    game.mainWindow->selectedChoice = 0;
    game.RunEvent([&game] { ChooseHighlightedAction(game); });
  }

  QListWidgetItem* Slot(SaveLoadWindow& w, int slot) {
    for (int i = 0; i < w.slotGrid->count(); ++i)
      if (w.slotGrid->item(i)->data(Qt::UserRole).toInt() == slot) return w.slotGrid->item(i);
    return nullptr;
  }

  testing::TempDir data;
  std::unique_ptr<SaveActions> actions;
};

TEST_F(SaveLoadWindowTest, TheKeysQuickSaveQuickLoadAndGoBack) {
  Game& game = MakeGame();
  for (const auto& [action, keys] : std::vector<std::pair<QAction*, QString>>{
           {actions->quickSave, "F5"}, {actions->quickLoad, "F9"}, {actions->save, "Ctrl+S"},
           {actions->load, "Ctrl+O"}, {actions->back, "Backspace"}}) {
    EXPECT_TRUE(window->actions().contains(action));
    EXPECT_EQ(action->shortcut().toString(), keys);
  }
  EXPECT_EQ(actions->back->shortcuts().value(1).toString(), "Ctrl+Z");

  QTest::keyClick(window->choiceList, Qt::Key_F5);
  EXPECT_TRUE(std::filesystem::exists(actions->saves().SlotPath(kQuickSlot)));
  Choose();
  Choose();
  EXPECT_EQ(game.page->currentPage, "hall");
  QTest::keyClick(window->choiceList, Qt::Key_Backspace);
  EXPECT_EQ(game.page->currentPage, "door");
  EXPECT_EQ(game.mainWindow->storyLines, std::vector<std::string>{"The door creaks; 1 step(s) taken."});
  QTest::keyClick(window->choiceList, Qt::Key_F9);
  EXPECT_EQ(game.page->currentPage, "start");
  EXPECT_EQ(game.mainWindow->choiceItems, std::vector<std::string>{"Go to the door\r\n"});
  EXPECT_EQ(window->choiceList->count(), 1);
}

// Answers the next question box named `name`: Escape, or its destructive button.
void AnswerQuestion(const char* name, bool yes, bool* asked) {
  QTimer::singleShot(50, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box->objectName() != QLatin1String(name)) return;
    *asked = true;
    if (!yes) {
      QTest::keyClick(box, Qt::Key_Escape);
      return;
    }
    for (QAbstractButton* button : box->buttons())
      if (box->buttonRole(button) == QMessageBox::DestructiveRole) button->click();
  });
}

TEST_F(SaveLoadWindowTest, SaveIntoASlotWithANameThenRenameDeleteAndLoadFromTheGrid) {
  Game& game = MakeGame();
  {
    SaveLoadWindow saving(game, actions->saves(), SaveLoadWindow::Mode::kSave, [this] { return actions->Thumbnail(); },
                          window.get());
    ASSERT_EQ(saving.slotGrid->count(), kLastSlot + 1);  // the quick slot and 1 to 99
    saving.slotGrid->setCurrentItem(Slot(saving, 3));
    saving.nameField->setText("Before the door");
    QTest::mouseClick(saving.actionButton, Qt::LeftButton);
    EXPECT_EQ(saving.result(), QDialog::Accepted);
    EXPECT_EQ(saving.lastMessage(), "saved: slot 3");
  }
  Choose();
  actions->saves().Save(5, actions->Thumbnail(), std::string("At the door"));
  Choose();

  SaveLoadWindow loading(game, actions->saves(), SaveLoadWindow::Mode::kLoad, nullptr, window.get());
  loading.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&loading));
  QListWidgetItem* three = Slot(loading, 3);
  ASSERT_NE(three, nullptr);
  EXPECT_TRUE(three->text().startsWith("3. Before the door\n")) << three->text().toStdString();
  EXPECT_FALSE(three->icon().isNull());
  EXPECT_TRUE(Slot(loading, 4)->text().contains("(empty)"));
  EXPECT_TRUE(Slot(loading, 5)->text().startsWith("5. At the door\n"));

  if (const char* dir = std::getenv("VELMORA_SCREENSHOT_DIR")) {
    loading.slotGrid->setCurrentItem(Slot(loading, 5));
    QTest::qWait(200);
    loading.grab().save(QString::fromUtf8(dir) + "/save-load-window.png");
  }

  // An empty slot cannot be loaded; a name typed for a used slot is kept with its save.
  loading.slotGrid->setCurrentItem(Slot(loading, 4));
  EXPECT_FALSE(loading.actionButton->isEnabled());
  loading.slotGrid->setCurrentItem(Slot(loading, 5));
  loading.nameField->setText("The creaking door");
  emit loading.nameField->editingFinished();
  EXPECT_TRUE(Slot(loading, 5)->text().startsWith("5. The creaking door\n"));
  EXPECT_EQ(actions->saves().ListSlots()[5].header.name, "The creaking door");

  // Deleting asks first; Escape keeps the save, the Delete key asks the same.
  loading.slotGrid->setCurrentItem(Slot(loading, 5));
  bool asked = false;
  AnswerQuestion("DeleteQuestion", false, &asked);
  QTest::mouseClick(loading.deleteButton, Qt::LeftButton);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(std::filesystem::exists(actions->saves().SlotPath(5)));
  asked = false;
  AnswerQuestion("DeleteQuestion", true, &asked);
  QApplication::setActiveWindow(&loading);
  loading.slotGrid->setFocus();
  QTest::keyClick(loading.slotGrid, Qt::Key_Delete);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(Slot(loading, 5)->text().contains("(empty)"));
  EXPECT_FALSE(std::filesystem::exists(actions->saves().SlotPath(5)));

  // A double-click on a slot loads it and closes the window.
  QListWidgetItem* target = Slot(loading, 3);
  const QRect rect = loading.slotGrid->visualItemRect(target);
  QTest::mouseClick(loading.slotGrid->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(loading.slotGrid->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(loading.result(), QDialog::Accepted);
  EXPECT_EQ(loading.lastMessage(), "loaded: slot 3");
  EXPECT_EQ(game.page->currentPage, "start");
}

}  // namespace
}  // namespace velmora
