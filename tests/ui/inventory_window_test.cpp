// The inventory window on Qt's offscreen platform: its layout, and that it only draws
// the core's state and forwards the player's clicks and keys.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include "inventory/inventory.h"
#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "support/test_game.h"
#include "ui/inventory_window.h"
#include "ui/window_scale.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

class InventoryWindowTest : public ::testing::Test {
 protected:
  InventoryWindowTest() {
    TestApplication();
    tg.dir.Write("Images/default.jpg", "neutral");
    // Windows-1251 display names, as Windows-made games have them.
    tg.dir.Write("Scripts/inventory.inv",
                 "[Inventory]\nTotalItems=2\n"
                 "[Item0]\nName=lamp\nDisplayName=\xCB\xE0\xEC\xEF\xE0\nCount=2\nMaxCount=5\nEnabled=1\n"
                 "CanEquip=1\nLinesCount=1\nLine0=\xD1\xF2\xE0\xF0\xE0\xFF\n"
                 "[Item1]\nName=key\nDisplayName=Key\nCount=1\nEnabled=1\n");
    game = &tg.Make();
    game->mainWindow->left = 40;
    game->mainWindow->top = 30;
    window = std::make_unique<InventoryWindow>(*game);
  }
  void ClickEntry(int row) {
    QListWidget* list = window->itemList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }

  TestGame tg;
  Game* game = nullptr;
  std::unique_ptr<InventoryWindow> window;
};

TEST_F(InventoryWindowTest, LayoutAsDesigned) {
  EXPECT_EQ(window->size(), QSize(575, 628));
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Инвентарь"));
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->itemList->geometry(), QRect(0, 0, 313, 628));
  EXPECT_EQ(window->itemPicture->geometry(), QRect(320, 8, 250, 250));
  EXPECT_EQ(window->description->geometry(), QRect(320, 352, 249, 241));
  EXPECT_EQ(window->itemCaption->pos(), QPoint(320, 272));
  EXPECT_EQ(window->itemName->pos(), QPoint(392, 272));
  EXPECT_EQ(window->itemCount->pos(), QPoint(376, 304));
  EXPECT_EQ(window->countCaption->text(), QString::fromUtf8("Кол-во:"));
  EXPECT_EQ(window->descriptionCaption->text(), QString::fromUtf8("Описание:"));
  const std::tuple<QPushButton*, int, const char*, bool> buttons[] = {
      {window->useButton, 320, "Ипольз.", true}, {window->wearButton, 408, "Надеть", false},
      {window->closeButton, 496, "Закрыть", true}};
  for (const auto& [button, left, caption, enabled] : buttons) {
    EXPECT_EQ(button->geometry(), QRect(left, 600, 75, 25));
    EXPECT_EQ(button->text(), QString::fromUtf8(caption));
    EXPECT_EQ(button->isEnabled(), enabled);
  }
  EXPECT_EQ(window->itemName->text(), QString("ITEM_NAME"));
  EXPECT_EQ(window->description->toPlainText(), QString("ITEM_DESCRIPTION"));
  EXPECT_TRUE(window->description->isReadOnly());
}

TEST_F(InventoryWindowTest, OpensOnTheMainWindowAndShowsTheHeldItems) {
  game->inventoryWindow->Open(*game);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_EQ(window->pos(), QPoint(40, 30));
  ASSERT_EQ(window->itemList->count(), 2);
  EXPECT_EQ(window->itemList->item(0)->text(), QString::fromUtf8("Лампа"));
  EXPECT_FALSE(window->useButton->isEnabled());
  // The designed 16 pixels, unless the readable list text needs more.
  EXPECT_EQ(window->itemList->item(0)->sizeHint().height(), std::max(16, QFontMetrics(window->itemList->font()).height()));
  ClickEntry(0);
  EXPECT_EQ(game->inventoryWindow->selectedEntry, 0);
  EXPECT_EQ(window->itemName->text(), QString::fromUtf8("Лампа"));
  EXPECT_EQ(window->itemCount->text(), QString("2\\5"));
  EXPECT_EQ(window->description->toPlainText(), QString::fromUtf8("Старая"));
  EXPECT_TRUE(window->useButton->isEnabled());
  EXPECT_TRUE(window->wearButton->isEnabled());
  QTest::keyClick(window->itemList, Qt::Key_Down);
  EXPECT_EQ(game->inventoryWindow->selectedEntry, 1);
  EXPECT_EQ(window->itemCount->text(), QString("1"));
  EXPECT_FALSE(window->wearButton->isEnabled());  // the key cannot be worn
}

// Scaled down to fit a small screen, the list keeps text as large as the system's normal
// text (12 pixels at least) in rows that hold it; scaled up, it follows the scale.
TEST_F(InventoryWindowTest, TheListTextStaysReadableAtEveryScale) {
  game->inventoryWindow->Open(*game);
  const int system = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).pixelSize();
  const struct {
    double scale;
    int pixels;  // 0: the system's size or 12, whichever is larger
  } cases[] = {{0.5, 0}, {0.83, 0}, {1.0, 0}, {2.0, 22}};
  for (const auto& c : cases) {
    window->SetScale(c.scale);
    const int expected = c.pixels ? std::max(c.pixels, system) : std::max(system, 12);
    EXPECT_EQ(QFontInfo(window->itemList->font()).pixelSize(), expected) << c.scale;
    EXPECT_GE(window->itemList->item(0)->sizeHint().height(), QFontMetrics(window->itemList->font()).height())
        << c.scale;
    EXPECT_EQ(QFontInfo(window->font()).pixelSize(), Scaled(13, c.scale)) << c.scale;  // the rest follows the scale
  }
}

TEST_F(InventoryWindowTest, UseButtonRebuildsAndCloseBoxHides) {
  game->inventoryWindow->Open(*game);
  ClickEntry(1);
  QTest::mouseClick(window->useButton, Qt::LeftButton);
  EXPECT_EQ(game->inventoryWindow->selectedEntry, -1);
  EXPECT_TRUE(window->itemList->selectedItems().isEmpty());
  EXPECT_FALSE(window->useButton->isEnabled());
  EXPECT_EQ(window->itemName->text(), QString());
  window->close();
  EXPECT_FALSE(game->inventoryWindow->visible);
  EXPECT_FALSE(window->isVisible());
  game->inventoryWindow->Open(*game);
  EXPECT_TRUE(window->isVisible());
  QTest::mouseClick(window->closeButton, Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace velmora::testing
