// The game library window on Qt's offscreen platform: what it lists, and adding, scanning,
// removing, dropping and playing.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDialog>
#include <QMenu>
#include <QMimeData>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>

#include "library/game_library.h"
#include "platform/files/posix_files.h"
#include "ui/accessible_frames.h"
#include "support/test_game.h"
#include "ui/library_window.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

class LibraryWindowTest : public ::testing::Test {
 protected:
  LibraryWindowTest() : library(files, (home.path() / "library.ini").string()) {
    testing::TestApplication();
    shown = std::make_unique<LibraryWindow>(library, files);
  }
  // A game folder below the games folder, with a caption and a start-page picture.
  std::string Game(const std::string& name, const std::string& caption) {
    games.Write(name + "/config.ini", "[GameForm]\nCaption=" + caption + "\n");
    games.Write(name + "/story.qst", "[gamestart]\ntextsize=0\n");
    return (games.path() / name).string();
  }
  QStringList Listed() {
    QStringList lines;
    for (int k = 0; k < window().gameList->count(); ++k) lines << window().gameList->item(k)->text().section('\n', 0, 0);
    return lines;
  }

  testing::TempDir home, games;
  PosixFiles files;
  GameLibrary library;
  std::unique_ptr<LibraryWindow> shown;
  LibraryWindow& window() { return *shown; }
};

// A screen reader announces a window only by its role: the library is a frame named by its
// title, while dialogs and popups keep the roles Qt gives them.
TEST_F(LibraryWindowTest, IsAFrameNamedByItsTitleBesideDialogsAndPopups) {
  InstallAccessibleFrames();
  QDialog dialog;
  QMenu menu;
  const struct {
    QWidget* window;
    QAccessible::Role role;
  } cases[] = {{&window(), QAccessible::Window}, {&dialog, QAccessible::Dialog}, {&menu, QAccessible::PopupMenu}};
  for (const auto& c : cases) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(c.window);
    ASSERT_NE(accessible, nullptr) << c.window->metaObject()->className();
    EXPECT_EQ(accessible->role(), c.role) << c.window->metaObject()->className();
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&window())->text(QAccessible::Name), window().windowTitle());
}

TEST_F(LibraryWindowTest, AddsScansAndRemovesGames) {
  EXPECT_TRUE(Listed().isEmpty());
  EXPECT_FALSE(window().playButton->isEnabled());
  window().AddFolder(QString::fromStdString(Game("owl", "Owl Spit")));
  EXPECT_EQ(Listed(), QStringList{"Owl Spit"});
  EXPECT_TRUE(window().gameList->item(0)->text().endsWith("Not played yet"));
  EXPECT_TRUE(window().playButton->isEnabled());
  EXPECT_FALSE(window().gameList->item(0)->icon().isNull());  // a black thumbnail without a picture

  Game("lamp", "Lamp");
  window().ScanFolder(QString::fromStdString(games.path().string()));
  EXPECT_EQ(Listed(), QStringList({"Lamp", "Owl Spit"}));  // neither played: by name

  window().gameList->setCurrentRow(1);
  window().RemoveSelected();
  EXPECT_EQ(Listed(), QStringList{"Lamp"});
  EXPECT_EQ(library.Games().size(), 1u);  // kept in the library file
}

TEST_F(LibraryWindowTest, EnterOrADoubleClickPlaysTheSelectedGame) {
  const std::string folder = Game("owl", "Owl Spit");
  window().AddFolder(QString::fromStdString(folder));
  window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  QSignalSpy played(&window(), &LibraryWindow::playRequested);
  window().gameList->setFocus();
  window().gameList->setCurrentRow(0);
  QTest::keyClick(window().gameList, Qt::Key_Return);
  ASSERT_EQ(played.count(), 1);
  EXPECT_EQ(played.at(0).at(0).toString(), QString::fromStdString(GameLibrary::ListedForm(folder)));
  const QPoint at = window().gameList->visualItemRect(window().gameList->item(0)).center();
  QTest::mouseClick(window().gameList->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(window().gameList->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(played.count(), 2);
}

// A game closed before goes on from its automatic save; one never closed has nothing to
// go on from.
TEST_F(LibraryWindowTest, ContinueGoesOnFromTheAutomaticSave) {
  const std::string owl = Game("owl", "Owl Spit");
  const std::string lamp = Game("lamp", "Lamp");
  library.Add(owl);
  library.Add(lamp);
  library.SetAutoSave(lamp, games.Write("auto.sav", "save"));
  window().Reload();
  QSignalSpy continued(&window(), &LibraryWindow::continueRequested);
  ASSERT_EQ(Listed(), QStringList({"Lamp", "Owl Spit"}));
  window().gameList->setCurrentRow(1);
  EXPECT_FALSE(window().continueButton->isEnabled());
  window().gameList->setCurrentRow(0);
  ASSERT_TRUE(window().continueButton->isEnabled());
  QTest::mouseClick(window().continueButton, Qt::LeftButton);
  ASSERT_EQ(continued.count(), 1);
  EXPECT_EQ(continued.at(0).at(0).toString(), QString::fromStdString(GameLibrary::ListedForm(lamp)));
}

TEST_F(LibraryWindowTest, DroppedFoldersAreAddedOrScanned) {
  const std::string owl = Game("owl", "Owl Spit");
  testing::TempDir shelf;
  shelf.Write("lamp/config.ini", "[GameForm]\nCaption=Lamp\n");
  shelf.Write("lamp/story.qst", "[gamestart]\n");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(owl)), QUrl::fromLocalFile(QString::fromStdString(shelf.path().string()))});
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
  static_cast<QObject*>(shown.get())->event(&drop);  // as the drag manager delivers it
  EXPECT_EQ(Listed(), QStringList({"Lamp", "Owl Spit"}));
  EXPECT_EQ(library.Games().size(), 2u);
}

// The game played last comes first, then the others by when they were played; games
// never played follow by name. A game whose last start failed says why in its row, which
// is what a screen reader reads of it, and in its tool tip.
TEST_F(LibraryWindowTest, ListsTheGamePlayedLastFirstAndWhyItsLastStartFailed) {
  const std::string zebra = Game("z", "Zebra"), apple = Game("a", "apple"), owl = Game("o", "Owl"), mole = Game("m", "Mole");
  for (const std::string& folder : {zebra, apple, owl, mole}) library.Add(folder);
  library.MarkPlayed(owl, 1700000000);
  library.MarkPlayed(mole, 1800000000);
  library.SetStartFailure(owl, "Tracklist /games/o/music.lst not found!");
  window().Reload();
  EXPECT_EQ(Listed(), QStringList({"Mole", "Owl", "apple", "Zebra"}));
  QListWidgetItem* failed = window().gameList->item(1);
  const QString why = "Did not start: Tracklist /games/o/music.lst not found!";
  EXPECT_EQ(failed->text().section('\n', 2), why);
  EXPECT_TRUE(failed->toolTip().contains(why));
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window().gameList);
  ASSERT_NE(list, nullptr);
  bool read = false;
  for (int k = 0; k < list->childCount(); ++k) read = read || list->child(k)->text(QAccessible::Name).contains(why);
  EXPECT_TRUE(read);
  EXPECT_EQ(window().gameList->item(0)->text().count('\n'), 1);  // a start that went well says nothing
  // The next start that goes well clears it.
  library.SetStartFailure(owl, "");
  window().Reload();
  EXPECT_EQ(window().gameList->item(1)->text().count('\n'), 1);
}

}  // namespace
}  // namespace velmora
