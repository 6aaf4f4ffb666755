#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace velmora {

namespace {

enum class Kind { kSans, kSerif, kMono };

struct LookAlike {
  const char* windowsName;
  Kind kind;
  const char* closest;  // a family of the same shape and widths, when one is installed
};

// MS Sans Serif was drawn to Helvetica's proportions, as Arial is; Nimbus Sans and
// Liberation Sans are metric twins of those.
const LookAlike kLookAlikes[] = {
    {"MS Sans Serif", Kind::kSans, nullptr},
    {"Microsoft Sans Serif", Kind::kSans, nullptr},
    {"Arial", Kind::kSans, nullptr},
    {"Helvetica", Kind::kSans, nullptr},
    {"Tahoma", Kind::kSans, "DejaVu Sans"},
    {"Verdana", Kind::kSans, "DejaVu Sans"},
    {"Segoe UI", Kind::kSans, nullptr},
    {"MS Shell Dlg", Kind::kSans, nullptr},
    {"MS Shell Dlg 2", Kind::kSans, nullptr},
    {"Small Fonts", Kind::kSans, nullptr},
    {"System", Kind::kSans, nullptr},
    {"Comic Sans MS", Kind::kSans, nullptr},
    {"Arial Narrow", Kind::kSans, "Nimbus Sans Narrow"},
    {"Century Gothic", Kind::kSans, "URW Gothic"},
    {"MS Serif", Kind::kSerif, nullptr},
    {"Times New Roman", Kind::kSerif, nullptr},
    {"Times", Kind::kSerif, nullptr},
    {"Georgia", Kind::kSerif, "DejaVu Serif"},
    {"Bookman Old Style", Kind::kSerif, "URW Bookman"},
    {"Book Antiqua", Kind::kSerif, "P052"},
    {"Palatino Linotype", Kind::kSerif, "P052"},
    {"Century Schoolbook", Kind::kSerif, "C059"},
    {"Courier New", Kind::kMono, nullptr},
    {"Courier", Kind::kMono, nullptr},
    {"Lucida Console", Kind::kMono, "DejaVu Sans Mono"},
    {"Consolas", Kind::kMono, "DejaVu Sans Mono"},
    {"Fixedsys", Kind::kMono, nullptr},
    {"Terminal", Kind::kMono, nullptr},
};

QStringList KindFamilies(Kind kind) {
  switch (kind) {
    case Kind::kSerif:
      return {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("Nimbus Roman"),
              QStringLiteral("DejaVu Serif")};
    case Kind::kMono:
      return {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("Nimbus Mono PS"),
              QStringLiteral("DejaVu Sans Mono")};
    case Kind::kSans:
      break;
  }
  return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
          QStringLiteral("DejaVu Sans")};
}

const LookAlike* Known(const QString& name) {
  for (const LookAlike& l : kLookAlikes)
    if (name.compare(QLatin1String(l.windowsName), Qt::CaseInsensitive) == 0) return &l;
  return nullptr;
}

QStringList Candidates(const QString& name) {
  const LookAlike* known = Known(name);
  QStringList list;
  if (known && known->closest) list << QString::fromLatin1(known->closest);
  list << KindFamilies(known ? known->kind : Kind::kSans);
  return list;
}

bool Installed(const QStringList& families, const QString& name) {
  return families.contains(name, Qt::CaseInsensitive);
}

}  // namespace

QString InstalledFamilyFor(const QString& name) {
  const QStringList families = QFontDatabase::families();
  if (!name.isEmpty() && Installed(families, name)) return name;
  for (const QString& candidate : Candidates(name))
    if (Installed(families, candidate)) return candidate;
  return name;  // nothing better: let Qt's own matching decide
}

QFont GameFont(const QString& name, int size) {
  QFont font(InstalledFamilyFor(name));
  const LookAlike* known = Known(name);
  font.setStyleHint(known && known->kind == Kind::kSerif  ? QFont::Serif
                    : known && known->kind == Kind::kMono ? QFont::Monospace
                                                          : QFont::SansSerif);
  if (size > 0)
    font.setPointSize(size);
  else if (size < 0)
    font.setPixelSize(-size);
  else
    font.setPointSize(10);
  return font;
}

void InstallFontSubstitutions() {
  const QStringList families = QFontDatabase::families();
  for (const LookAlike& l : kLookAlikes) {
    const QString name = QString::fromLatin1(l.windowsName);
    if (Installed(families, name)) continue;
    QStringList present;
    for (const QString& candidate : Candidates(name))
      if (Installed(families, candidate)) present << candidate;
    if (!present.isEmpty()) QFont::insertSubstitutions(name, present);
  }
}

}  // namespace velmora
