#pragma once
// Fonts named the Windows way ("MS Sans Serif", "Times New Roman", "Courier New"...) as
// games name them in config.ini, shown with the closest installed family.
#include <QFont>
#include <QString>

namespace velmora {

// The installed family to draw `name` with: the name itself when installed, else the
// first installed look-alike, else a family of the same kind (sans, serif, monospace).
QString InstalledFamilyFor(const QString& name);
// A font of that family. size > 0: points; size < 0: pixels (as Windows reads a negative
// size); 0: 10 points.
QFont GameFont(const QString& name, int size);
// Makes Qt substitute the look-alikes wherever a window names a Windows font directly.
void InstallFontSubstitutions();

}  // namespace velmora
