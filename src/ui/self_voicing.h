#pragma once
// Self-voicing in the windows: the core's Narrator speaking through Qt's text-to-speech,
// its keys (V turns it on and off, R says the highlighted choice again) and the setting
// that keeps it on between runs. Without a speech service, turning it on says why once
// and play goes on.
#include <QObject>
#include <QString>
#include <memory>

#include "library/player_settings.h"
#include "run/narrator.h"

class QAction;

namespace velmora {

class Game;
class MainWindow;

// The narrator's phrases in the player's language.
NarrationPhrases TranslatedPhrases();

class SelfVoicing : public QObject {
  Q_OBJECT

 public:
  // speech: the service to speak through (Qt's unless a test lends another).
  SelfVoicing(Game& game, MainWindow& window, Speech& speech, PlayerSettingsFile settingsFile);
  ~SelfVoicing() override;

  QAction* toggle;  // V, checkable
  QAction* repeat;  // R
  Narrator& narrator() { return *narrator_; }

  void SetEnabled(bool on);
  // Rate and volume from the settings.
  void Apply(const PlayerSettings& settings);

  // Says a text of a window the core does not model (the Save and Load windows) through
  // the self-voicing of the run in the windows, if it is on.
  static void SayInWindow(const QString& text);

 private:
  Game& game_;
  MainWindow& window_;
  Speech& speech_;
  PlayerSettingsFile settingsFile_;
  std::unique_ptr<Narrator> narrator_;
  bool toldWhy_ = false;
  bool flushPosted_ = false;
};

}  // namespace velmora
