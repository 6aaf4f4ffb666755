#pragma once
// The built-in skin "Garnet (internal)": one style sheet with its palette, kept compressed
// in the program's resources, applied to the whole application so that all three windows
// and their dialogs wear it.
#include <QPalette>
#include <QString>

class QApplication;

namespace velmora {

inline constexpr const char* kSkinName = "Garnet (internal)";

inline constexpr const char* kHighContrastSkinName = "High contrast (internal)";

// Which built-in skin SkinStyleSheet gives: Garnet, or its high-contrast twin (the same
// layout, colours that meet WCAG AA for text). Chosen before ApplySkin.
void SelectHighContrastSkin(bool on);
// The style sheet text (from the resource).
QString SkinStyleSheet();
// The palette that the style sheet's @palette lines describe.
QPalette SkinPalette(const QString& styleSheet);
// Fusion style, the palette and the style sheet, for the whole application.
void ApplySkin(QApplication& app);
// The program's icon, for all its windows. Drawing it loads Qt's SVG icon engine, so the
// window program sets it once its first page is on screen, and a dialog shown before
// then sets it first. Only the first call does anything.
void ApplyProgramIcon();

}  // namespace velmora
