// The story map window of author mode on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QGraphicsRectItem>

#include "script/script_library.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "ui/map_window.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, TheStoryMapShowsWhereTheRunIsFindsPagesAndLoadsOneOnDoubleClick) {
  tg.dir.Write("Scripts/Scripts.bsf", "___script go $goto hall ___end ___script up $goto tower ___end");
  Game& game = Make("[gamestart]\r\ntextsize=1\r\nLine0=Start\r\nActionsCount=1\r\nAction0.Script=go\r\n"
                    "[hall]\r\ntextsize=1\r\nLine0=Hall\r\nActionsCount=1\r\nAction0.Script=up\r\n"
                    "[tower]\r\ntextsize=1\r\nLine0=Tower\r\n");
  LoadScriptLibrary(game);
  game.RunEvent([&] {
    LoadPage(game, "gamestart");
    LoadPage(game, "hall");
  });
  MapWindow map(game, window.get());
  std::string error;
  ASSERT_TRUE(map.Rebuild(error)) << error;
  ASSERT_EQ(map.map().pages.size(), 3u);
  for (size_t i = 0; i < 3; ++i) ASSERT_NE(map.box(i), nullptr) << i;
  // Hall is current, the start page shaded as shown, the tower never shown.
  const QColor current = map.box(1)->brush().color(), shown = map.box(0)->brush().color(), unseen = map.box(2)->brush().color();
  EXPECT_NE(current, shown);
  EXPECT_NE(shown, unseen);
  EXPECT_EQ(unseen, QColor(Qt::white));
  EXPECT_GT(map.box(1)->pen().widthF(), map.box(0)->pen().widthF());
  // The layout puts the start page above the page it leads to.
  EXPECT_LT(map.box(0)->rect().center().y(), map.box(1)->rect().center().y());

  EXPECT_TRUE(map.Find("TOW"));
  EXPECT_TRUE(map.box(2)->isSelected());
  EXPECT_FALSE(map.Find("cellar"));

  map.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
  const auto doubleClick = [&](size_t page) {
    const QPoint at = map.view->mapFromScene(map.box(page)->rect().topLeft() + QPointF(4, 4));
    QTest::mouseDClick(map.view->viewport(), Qt::LeftButton, {}, at);
  };
  doubleClick(2);
  EXPECT_EQ(game.page->currentPage, "tower");
  EXPECT_EQ(map.box(2)->brush().color(), current);
  EXPECT_EQ(map.box(1)->brush().color(), shown);

  const double before = map.view->transform().m11();
  map.Zoom(2);
  EXPECT_DOUBLE_EQ(map.view->transform().m11(), before * 2);
}

}  // namespace
}  // namespace velmora
