#include "ui/fonts.h"

#include <fontconfig/fontconfig.h>

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

enum class Kind { kSans, kSerif, kMono };

// Faces whose advance widths match the Windows face's (or come within a few per cent),
// best first. Arial, Times New Roman and Courier New have metric twins (Liberation,
// Croscore, URW); MS Sans Serif and Tahoma run close to Arial's widths, Verdana to DejaVu
// Sans's. The Windows names are the ones games put in config.ini and the windows use.
struct LookAlike {
  const char* windowsName;
  Kind kind;
  const char* faces;  // comma-separated
};

constexpr const char* kArialTwins = "Liberation Sans,Arimo,Nimbus Sans";
constexpr const char* kTimesTwins = "Liberation Serif,Tinos,Nimbus Roman";
constexpr const char* kCourierTwins = "Liberation Mono,Cousine,Nimbus Mono PS";

const LookAlike kLookAlikes[] = {
    {"MS Sans Serif", Kind::kSans, kArialTwins},
    {"Microsoft Sans Serif", Kind::kSans, kArialTwins},
    {"MS Shell Dlg", Kind::kSans, kArialTwins},
    {"MS Shell Dlg 2", Kind::kSans, kArialTwins},
    {"Arial", Kind::kSans, kArialTwins},
    {"Helvetica", Kind::kSans, kArialTwins},
    {"Tahoma", Kind::kSans, kArialTwins},
    {"Segoe UI", Kind::kSans, kArialTwins},
    {"Small Fonts", Kind::kSans, kArialTwins},
    {"System", Kind::kSans, kArialTwins},
    {"Comic Sans MS", Kind::kSans, kArialTwins},
    {"Verdana", Kind::kSans, "DejaVu Sans"},
    {"Arial Narrow", Kind::kSans, "Liberation Sans Narrow,Nimbus Sans Narrow"},
    {"Century Gothic", Kind::kSans, "URW Gothic"},
    {"MS Serif", Kind::kSerif, kTimesTwins},
    {"Times New Roman", Kind::kSerif, kTimesTwins},
    {"Times", Kind::kSerif, kTimesTwins},
    {"Georgia", Kind::kSerif, "Gelasio,DejaVu Serif"},
    {"Bookman Old Style", Kind::kSerif, "URW Bookman"},
    {"Book Antiqua", Kind::kSerif, "P052"},
    {"Palatino Linotype", Kind::kSerif, "P052"},
    {"Century Schoolbook", Kind::kSerif, "C059"},
    {"Courier New", Kind::kMono, kCourierTwins},
    {"Courier", Kind::kMono, kCourierTwins},
    {"Lucida Console", Kind::kMono, kCourierTwins},
    {"Consolas", Kind::kMono, kCourierTwins},
    {"Fixedsys", Kind::kMono, kCourierTwins},
    {"Terminal", Kind::kMono, kCourierTwins},
};

// The last resort of each kind, when no face of a row is installed.
const char* KindFallback(Kind kind) {
  switch (kind) {
    case Kind::kSerif:
      return "DejaVu Serif";
    case Kind::kMono:
      return "DejaVu Sans Mono";
    case Kind::kSans:
      break;
  }
  return "DejaVu Sans";
}

const LookAlike* Known(const QString& name) {
  for (const LookAlike& l : kLookAlikes)
    if (name.compare(QLatin1String(l.windowsName), Qt::CaseInsensitive) == 0) return &l;
  return nullptr;
}

// The family fontconfig would draw `family` with, after its own substitutions.
QString FontconfigMatch(const QString& family) {
  const QByteArray utf8 = family.toUtf8();
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.constData()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  QString found;
  FcChar8* name = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
    found = QString::fromUtf8(reinterpret_cast<const char*>(name));
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return found;
}

bool Installed(const QString& family) {
  return FontconfigMatch(family).compare(family, Qt::CaseInsensitive) == 0;
}

QString Resolve(const QString& name) {
  if (!name.isEmpty() && Installed(name)) return name;
  if (const LookAlike* known = Known(name)) {
    for (const QString& face : QString::fromLatin1(known->faces).split(QLatin1Char(',')))
      if (Installed(face)) return face;
    const QString fallback = QString::fromLatin1(KindFallback(known->kind));
    if (Installed(fallback)) return fallback;
  }
  const QString matched = FontconfigMatch(name);
  return matched.isEmpty() ? name : matched;
}

}  // namespace

QString InstalledFamilyFor(const QString& name) {
  // Asked at every drawing of a choice: fontconfig is asked once a name.
  static QHash<QString, QString> resolved;
  const QString key = name.toLower();
  auto it = resolved.constFind(key);
  if (it == resolved.constEnd()) it = resolved.insert(key, Resolve(name));
  return *it;
}

QFont GameFont(const QString& name, int size, double scale) {
  QFont font(InstalledFamilyFor(name));
  const LookAlike* known = Known(name);
  font.setStyleHint(known && known->kind == Kind::kSerif  ? QFont::Serif
                    : known && known->kind == Kind::kMono ? QFont::Monospace
                                                          : QFont::SansSerif);
  if (size < 0)
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(-size * scale))));
  else
    font.setPointSizeF((size > 0 ? size : 10) * scale);
  return font;
}

void InstallFontSubstitutions() {
  for (const LookAlike& l : kLookAlikes) {
    const QString name = QString::fromLatin1(l.windowsName);
    const QString family = InstalledFamilyFor(name);
    if (family.compare(name, Qt::CaseInsensitive) != 0) QFont::insertSubstitution(name, family);
  }
}

}  // namespace velmora
