#pragma once
// Speech through Qt's text-to-speech over speech-dispatcher, which speaks with espeak-ng.
// The engine starts at the first use, so a player who never turns self-voicing on never
// starts the speech service. Qt's engine says one text at a time and a new one cuts the
// old: the texts asked for meanwhile wait here.
#include <QLocale>
#include <QObject>
#include <QString>
#include <deque>
#include <utility>

#include "base/platform.h"

class QTextToSpeech;

namespace velmora {

class QtSpeech : public QObject, public Speech {
  Q_OBJECT

 public:
  explicit QtSpeech(QObject* parent = nullptr);
  std::string Unavailable() override;
  void Speak(const std::string& text, const std::string& language) override;
  void Stop() override;
  void SetRate(double rate) override;
  void SetVolume(double volume) override;

 private:
  QTextToSpeech* Engine();
  void SayNext();
  QTextToSpeech* engine_ = nullptr;
  std::deque<std::pair<QString, QLocale>> waiting_;
  bool busy_ = false;     // a text was handed to the engine and has not ended
  bool started_ = false;  // ... and the engine has begun saying it
  double rate_ = 0, volume_ = 1;
  bool localeMended_ = false;  // the engine's start-up error was only its locale's voice
};

}  // namespace velmora
