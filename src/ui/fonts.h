#pragma once
// Fonts named the Windows way ("MS Sans Serif", "Tahoma", "Times New Roman", "Courier New"...)
// as games name them in config.ini, shown with an installed face of near widths, so text
// wraps and fits about where it did on the system the games were made for.
#include <QFont>
#include <QString>

namespace velmora {

// The installed family to draw `name` with, as fontconfig finds it: the name itself when
// installed, else the first installed face of our table of near-metric look-alikes, else
// whatever fontconfig's own rules choose for the name.
QString InstalledFamilyFor(const QString& name);
// A font of that family at `scale` times its size. size > 0: points; size < 0: pixels (as
// Windows reads a negative size); 0: 10 points.
QFont GameFont(const QString& name, int size, double scale = 1.0);
// Makes Qt substitute the look-alikes wherever a window or a plug-in names a Windows font
// directly.
void InstallFontSubstitutions();

}  // namespace velmora
