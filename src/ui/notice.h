#pragma once
// The one kind of feedback for results and no-ops: a short line over the bottom of a
// window that fades by itself after a few seconds and takes no focus, so play goes on.
// Modal boxes are kept for questions.
#include <QString>

#include "base/game.h"

class QWidget;

namespace velmora {

// Shows `text` over `window` (replacing a notice still shown there); screen readers hear
// it as an alert.
void ShowNotice(QWidget& window, const QString& text);

// What a notice says when something the game names is missing.
QString MissingText(Game::Missing what, const QString& name);

}  // namespace velmora
