// The high-contrast skin: Garnet's layout with colours only changed, and every pair of
// text and background colours at WCAG AA contrast (4.5:1), in the style sheet's rules and
// in its palette.
#include <gtest/gtest.h>

#include <QColor>
#include <QRegularExpression>
#include <cmath>

#include "ui/skin.h"

namespace velmora {
namespace {

double Luminance(const QColor& c) {
  const auto linear = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QString Sheet(bool highContrast) {
  SelectHighContrastSkin(highContrast);
  const QString sheet = SkinStyleSheet();
  SelectHighContrastSkin(false);
  return sheet;
}

// The rules without their comments and colour declarations: what lays the windows out.
QString Layout(QString sheet) {
  sheet.remove(QRegularExpression(QStringLiteral(R"(/\*.*?\*/)"), QRegularExpression::DotMatchesEverythingOption));
  sheet.remove(QRegularExpression(QStringLiteral(R"((^|\n)\s*(color|background(-color)?|selection-[\w-]+):[^;]*;)")));
  sheet.remove(QRegularExpression(QStringLiteral(R"(#[0-9a-fA-F]{6}|rgba?\([^)]*\))")));
  return sheet;
}

TEST(HighContrastSkin, KeepsGarnetsLayout) {
  const QString contrast = Sheet(true);
  ASSERT_TRUE(contrast.contains(QLatin1String(kHighContrastSkinName)));
  EXPECT_EQ(Layout(contrast), Layout(Sheet(false)));
}

TEST(HighContrastSkin, EveryTextColourMeetsWcagAaOnItsBackground) {
  const QString sheet = Sheet(true);
  // Each rule: its text colour on its own background, or on the windows' black.
  const QColor windowBackground(Qt::black);
  static const QRegularExpression rule(QStringLiteral(R"(([^{}]+)\{([^}]*)\})"));
  static const QRegularExpression colour(QStringLiteral(R"((?:^|[;\s])color:\s*(#[0-9a-fA-F]{6}))"));
  static const QRegularExpression background(QStringLiteral(R"(background(?:-color)?:\s*(#[0-9a-fA-F]{6}))"));
  static const QRegularExpression selection(
      QStringLiteral(R"(selection-color:\s*(#[0-9a-fA-F]{6})[^}]*selection-background-color:\s*(#[0-9a-fA-F]{6})|selection-background-color:\s*(#[0-9a-fA-F]{6})[^}]*selection-color:\s*(#[0-9a-fA-F]{6}))"));
  QString body = sheet;
  body.remove(QRegularExpression(QStringLiteral(R"(/\*.*?\*/)"), QRegularExpression::DotMatchesEverythingOption));
  int pairs = 0;
  for (auto it = rule.globalMatch(body); it.hasNext();) {
    const auto m = it.next();
    const QString selector = m.captured(1).trimmed(), declarations = m.captured(2);
    const auto text = colour.match(declarations);
    const auto back = background.match(declarations);
    if (text.hasMatch()) {
      const QColor fore(text.captured(1)), behind(back.hasMatch() ? QColor(back.captured(1)) : windowBackground);
      EXPECT_GE(Contrast(fore, behind), 4.5) << selector.toStdString();
      ++pairs;
    } else if (back.hasMatch()) {
      // No colour of its own: the text inherited from the windows (white) stands on it.
      EXPECT_GE(Contrast(QColor(Qt::white), QColor(back.captured(1))), 4.5) << selector.toStdString();
    }
    if (const auto s = selection.match(declarations); s.hasMatch()) {
      const QColor fore(s.captured(1).isEmpty() ? s.captured(4) : s.captured(1));
      const QColor behind(s.captured(2).isEmpty() ? s.captured(3) : s.captured(2));
      EXPECT_GE(Contrast(fore, behind), 4.5) << selector.toStdString() << " (selection)";
    }
  }
  EXPECT_GT(pairs, 10);

  const QPalette palette = SkinPalette(sheet);
  const struct {
    QPalette::ColorGroup group;
    QPalette::ColorRole text, background;
  } kPalettePairs[] = {
      {QPalette::Active, QPalette::WindowText, QPalette::Window},
      {QPalette::Active, QPalette::Text, QPalette::Base},
      {QPalette::Active, QPalette::Text, QPalette::AlternateBase},
      {QPalette::Active, QPalette::ButtonText, QPalette::Button},
      {QPalette::Active, QPalette::HighlightedText, QPalette::Highlight},
      {QPalette::Active, QPalette::ToolTipText, QPalette::ToolTipBase},
      {QPalette::Active, QPalette::PlaceholderText, QPalette::Base},
      {QPalette::Active, QPalette::Link, QPalette::Base},
      {QPalette::Disabled, QPalette::Text, QPalette::Base},
      {QPalette::Disabled, QPalette::WindowText, QPalette::Window},
      {QPalette::Disabled, QPalette::ButtonText, QPalette::Button},
  };
  for (const auto& p : kPalettePairs)
    EXPECT_GE(Contrast(palette.color(p.group, p.text), palette.color(p.group, p.background)), 4.5)
        << p.text << " on " << p.background;
  // The choice list and story text keep their designed colours: 153, 137, 137 on black.
  EXPECT_GE(Contrast(QColor(153, 137, 137), QColor(Qt::black)), 4.5);
}

}  // namespace
}  // namespace velmora
