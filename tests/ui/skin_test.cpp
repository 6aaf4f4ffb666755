// The built-in skin: kept zlib-compressed in the resources, its palette read from the same
// file as its style sheet, applied to the whole application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QResource>

#include "ui/skin.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

TEST(SkinTest, IsBuiltInCompressedWithZlib) {
  const QString sheet = SkinStyleSheet();
  ASSERT_FALSE(sheet.isEmpty());
  EXPECT_TRUE(sheet.contains(QLatin1String(kSkinName)));
  QResource resource(QStringLiteral(":/skin/garnet.qss"));
  ASSERT_TRUE(resource.isValid());
  EXPECT_EQ(resource.compressionAlgorithm(), QResource::ZlibCompression);
}

TEST(SkinTest, ThePaletteComesFromTheStyleSheetsOwnLines) {
  const QPalette palette = SkinPalette(QStringLiteral(
      "/* @palette Highlight #8e2236\n @palette Window #101010\n @palette Disabled.Text #333333\n"
      " @palette NoSuchRole #ffffff */"));
  EXPECT_EQ(palette.color(QPalette::Active, QPalette::Highlight), QColor(0x8e, 0x22, 0x36));
  EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Window), QColor(0x10, 0x10, 0x10));
  EXPECT_EQ(palette.color(QPalette::Disabled, QPalette::Text), QColor(0x33, 0x33, 0x33));

  const QPalette garnet = SkinPalette(SkinStyleSheet());
  EXPECT_LT(garnet.color(QPalette::Window).lightness(), 40);  // a dark skin
  EXPECT_GT(garnet.color(QPalette::WindowText).lightness(), 180);
}

TEST(SkinTest, AppliesToTheWholeApplication) {
  QApplication& app = testing::TestApplication();
  EXPECT_EQ(app.styleSheet(), SkinStyleSheet());
  EXPECT_EQ(app.palette().color(QPalette::Highlight), SkinPalette(SkinStyleSheet()).color(QPalette::Highlight));
}

}  // namespace
}  // namespace velmora
