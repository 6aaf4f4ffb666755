// Windows face names drawn with installed look-alikes of near widths.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>

#include "ui/fonts.h"
#include "ui/window_scale.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

const char kPangram[] = "The quick brown fox jumps over the lazy dog";

// How wide the Windows face sets a sample, from the faces' published advance widths:
// - Arial: the Helvetica widths it was drawn to (1000 units an em), 19786 units for the
//   pangram;
// - Times New Roman: the Times Roman widths it shares, 18275 units for the pangram;
// - Courier New: every character 1229/2048 em (0.6);
// - Tahoma: 2.900 em for "Cancel" (5939/2048), the advances of the metric-matched free
//   Tahoma made so Windows programs lay out as with the original.
struct WindowsWidth {
  const char* face;
  int pixels;  // the em, as a negative Windows height gives it
  const char* sample;
  double width;
};
const WindowsWidth kWindowsWidths[] = {
    {"Arial", 13, kPangram, 19786 * 13 / 1000.0},
    {"Times New Roman", 16, kPangram, 18275 * 16 / 1000.0},
    {"Courier New", 13, kPangram, 43 * 0.6 * 13},
    {"Tahoma", 11, "Cancel", 5939 * 11 / 2048.0},
    {"Tahoma", 13, "Cancel", 5939 * 13 / 2048.0},
};

TEST(FontsTest, TextKeepsWithinATenthOfTheWindowsFacesWidth) {
  testing::TestApplication();
  for (const WindowsWidth& w : kWindowsWidths) {
    const QFont font = GameFont(QString::fromLatin1(w.face), -w.pixels);
    const double width = QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(w.sample));
    EXPECT_NEAR(width, w.width, w.width * 0.10)
        << w.face << " " << w.pixels << "px drawn with " << QFontInfo(font).family().toStdString();
  }
}

TEST(FontsTest, WindowsNamesAreDrawnWithTheLookAlikeChosenForThem) {
  testing::TestApplication();
  for (const char* name : {"MS Sans Serif", "Tahoma", "Arial", "Times New Roman", "Courier New", "Some Font Nobody Has"}) {
    const QString family = InstalledFamilyFor(QString::fromLatin1(name));
    EXPECT_NE(family, QString::fromLatin1(name)) << name;  // none of them is installed here
    // Qt draws with that family (from whichever foundry), not with a fallback of its own.
    EXPECT_EQ(QFontInfo(GameFont(QString::fromLatin1(name), 10)).family().section(QStringLiteral(" ["), 0, 0), family)
        << name;
  }
  // The sans faces of the windows take an Arial twin, not the wider DejaVu Sans.
  EXPECT_EQ(InstalledFamilyFor("MS Sans Serif"), InstalledFamilyFor("Arial"));
  EXPECT_EQ(InstalledFamilyFor("ms sans serif"), InstalledFamilyFor("MS Sans Serif"));
  EXPECT_TRUE(QFontInfo(GameFont("Courier New", 10)).fixedPitch());
  EXPECT_FALSE(QFontInfo(GameFont("MS Sans Serif", 10)).fixedPitch());
  EXPECT_EQ(InstalledFamilyFor("DejaVu Serif"), "DejaVu Serif");  // an installed font is itself
}

TEST(FontsTest, SizesCountPointsOrPixelsAtTheScale) {
  testing::TestApplication();
  EXPECT_EQ(GameFont("MS Sans Serif", -13).pixelSize(), 13);  // a negative size counts pixels
  EXPECT_EQ(GameFont("MS Sans Serif", -13, 1.5).pixelSize(), 20);
  EXPECT_EQ(GameFont("MS Sans Serif", -1, 0.3).pixelSize(), 1);
  EXPECT_DOUBLE_EQ(GameFont("Tahoma", 10, 0.8).pointSizeF(), 8.0);
  EXPECT_DOUBLE_EQ(GameFont("Tahoma", 0).pointSizeF(), 10.0);
}

}  // namespace
}  // namespace velmora
