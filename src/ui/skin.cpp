#include "ui/skin.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QRegularExpression>
#include <QStyleFactory>
#include <utility>

// The resource lives in this static library; naming it keeps the linker from dropping it.
static void InitSkinResource() { Q_INIT_RESOURCE(skin); }

namespace velmora {

namespace {

bool highContrast = false;

}  // namespace

void SelectHighContrastSkin(bool on) { highContrast = on; }

QString SkinStyleSheet() {
  InitSkinResource();
  QFile file(highContrast ? QStringLiteral(":/skin/contrast.qss") : QStringLiteral(":/skin/garnet.qss"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QPalette SkinPalette(const QString& styleSheet) {
  static const struct {
    const char* name;
    QPalette::ColorRole role;
  } kRoles[] = {
      {"Window", QPalette::Window},
      {"WindowText", QPalette::WindowText},
      {"Base", QPalette::Base},
      {"AlternateBase", QPalette::AlternateBase},
      {"Text", QPalette::Text},
      {"Button", QPalette::Button},
      {"ButtonText", QPalette::ButtonText},
      {"BrightText", QPalette::BrightText},
      {"Highlight", QPalette::Highlight},
      {"HighlightedText", QPalette::HighlightedText},
      {"ToolTipBase", QPalette::ToolTipBase},
      {"ToolTipText", QPalette::ToolTipText},
      {"PlaceholderText", QPalette::PlaceholderText},
      {"Link", QPalette::Link},
      {"Light", QPalette::Light},
      {"Midlight", QPalette::Midlight},
      {"Mid", QPalette::Mid},
      {"Dark", QPalette::Dark},
      {"Shadow", QPalette::Shadow},
  };
  QPalette palette;
  static const QRegularExpression line(QStringLiteral(R"(@palette\s+(?:(Disabled)\.)?(\w+)\s+(#[0-9A-Fa-f]{6}))"));
  for (auto it = line.globalMatch(styleSheet); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    const QString name = m.captured(2);
    for (const auto& r : kRoles) {
      if (name != QLatin1String(r.name)) continue;
      const QColor colour(m.captured(3));
      if (m.captured(1).isEmpty())
        palette.setColor(r.role, colour);  // all groups
      else
        palette.setColor(QPalette::Disabled, r.role, colour);
    }
  }
  return palette;
}

void ApplySkin(QApplication& app) {
  const QString sheet = SkinStyleSheet();
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
  app.setPalette(SkinPalette(sheet));
  app.setStyleSheet(sheet);
}

void ApplyProgramIcon() {
  static bool applied = false;
  if (std::exchange(applied, true)) return;
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velmora-player.svg")));
}

}  // namespace velmora
