#pragma once
// The Settings window: the player's own settings in one place (language, audio fallback,
// self-voicing with its rate and volume, time to read, the countdown, text size, the
// high-contrast skin), kept in settings.ini in the user's config folder. OK saves and
// applies what can change during play; the language, the audio fallback and the skin
// take effect at the next start.
#include <QDialog>
#include <functional>

#include "library/player_settings.h"

class QAction;
class QCheckBox;
class QComboBox;
class QSlider;
class QSpinBox;

namespace velmora {

class SettingsWindow : public QDialog {
  Q_OBJECT

 public:
  SettingsWindow(const PlayerSettings& settings, QWidget* parent);
  PlayerSettings Chosen() const;

  // The main window's command that opens it; `apply` gets the settings saved by OK.
  static QAction* AddCommand(QWidget* mainWindow, PlayerSettingsFile file,
                             std::function<void(const PlayerSettings&)> apply);

  QComboBox* language;
  QCheckBox* selfVoicing;
  QSlider* speechRate;
  QSlider* speechVolume;
  QComboBox* timeToRead;
  QCheckBox* countdown;
  QSpinBox* textSize;
  QCheckBox* highContrast;

 private:
  PlayerSettings base_;  // what the window does not show stays as it was
};

}  // namespace velmora
