// Drawing windows at a scale: fitting a screen, keeping a window on the screens, and the
// skin's measures at the scale.
#include <gtest/gtest.h>

#include "ui/window_scale.h"

namespace velmora {
namespace {

TEST(WindowScaleTest, TheScaleThatFitsKeepsTheAspect) {
  EXPECT_DOUBLE_EQ(FitScale({980, 720}, {1960, 1440}), 2.0);
  EXPECT_NEAR(FitScale({980, 720}, {1024, 600}), 600.0 / 720, 1e-9);  // the height decides
  EXPECT_NEAR(FitScale({980, 720}, {640, 512}), 640.0 / 980, 1e-9);   // QT_SCALE_FACTOR=2 on 1280x1024
  EXPECT_DOUBLE_EQ(FitScale({0, 720}, {640, 512}), 1.0);
}

TEST(WindowScaleTest, NeighbouringControlsMeetAtAnyScale) {
  // The picture ends where the story text starts, whatever the rounding.
  for (double scale : {0.5, 0.67, 0.8333, 1.0, 1.1, 1.25, 2.0}) {
    const QRect picture = ScaledRect({1, 31, 978, 337}, scale);
    const QRect story = ScaledRect({1, 368, 978, 208}, scale);
    EXPECT_EQ(picture.bottom() + 1, story.top()) << scale;
  }
  EXPECT_EQ(ScaledRect({1, 31, 978, 337}, 1.0, {10, 20}), QRect(11, 51, 978, 337));
}

TEST(WindowScaleTest, AWindowIsKeptOnTheScreens) {
  const QList<QRect> one = {QRect(0, 0, 1024, 600)};
  const QList<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
  const struct {
    const char* what;
    QList<QRect> areas;
    QRect frame;
    QRect placed;
  } cases[] = {
      {"inside stays", one, {10, 10, 500, 400}, {10, 10, 500, 400}},
      {"over the right edge", one, {700, 10, 500, 400}, {524, 10, 500, 400}},
      {"over the bottom edge", one, {10, 500, 500, 400}, {10, 200, 500, 400}},
      {"off to the left and above", one, {-3000, -200, 500, 400}, {0, 0, 500, 400}},
      {"far off to the right", one, {5000, 100, 500, 400}, {524, 100, 500, 400}},
      {"larger than the screen shows its top-left", one, {100, 100, 1200, 700}, {0, 0, 1200, 700}},
      {"on the second screen stays", two, {2000, 100, 980, 720}, {2000, 100, 980, 720}},
      {"mostly on the second screen", two, {2800, 100, 980, 720}, {2220, 100, 980, 720}},
      {"below both, nearer the second", two, {2500, 3000, 400, 300}, {2500, 724, 400, 300}},
      {"no screens at all", {}, {5000, 5000, 10, 10}, {5000, 5000, 10, 10}},
  };
  for (const auto& c : cases) EXPECT_EQ(KeepOnScreens(c.frame, c.areas), c.placed) << c.what;
}

TEST(WindowScaleTest, TheSkinsMeasuresFollowTheScale) {
  EXPECT_EQ(ScaledStyleSheet("QScrollBar:vertical { width: 14px; margin: 0; }", 2.0),
            "QScrollBar:vertical { width: 28px; margin: 0; }");
  EXPECT_EQ(ScaledStyleSheet("#TForm1 { border: 1px solid #6a1d2e; }", 0.5), "#TForm1 { border: 1px solid #6a1d2e; }");
  EXPECT_EQ(ScaledStyleSheet("x { margin: -7px 0; padding: 0px; }", 1.5), "x { margin: -11px 0; padding: 0px; }");
}

TEST(WindowScaleTest, ZoomStepsStopAtTheirEnds) {
  EXPECT_DOUBLE_EQ(NextZoomStep(1.0), 1.1);
  EXPECT_DOUBLE_EQ(NextZoomStep(0.8333), 0.9);  // from a scale that fits a screen
  EXPECT_DOUBLE_EQ(PreviousZoomStep(0.8333), 0.8);
  EXPECT_DOUBLE_EQ(NextZoomStep(3.0), 3.0);
  EXPECT_DOUBLE_EQ(PreviousZoomStep(0.5), 0.5);
}

}  // namespace
}  // namespace velmora
