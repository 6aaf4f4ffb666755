#include "ui/qt_speech.h"

#include <QTextToSpeech>

namespace velmora {

QtSpeech::QtSpeech(QObject* parent) : QObject(parent) {}

QTextToSpeech* QtSpeech::Engine() {
  if (engine_) return engine_;
  if (!QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"))) return nullptr;
  engine_ = new QTextToSpeech(QStringLiteral("speechd"), this);
  // Started in a locale without a voice (the C locale), the engine reports an error that
  // a voice of another language mends.
  if (engine_->state() == QTextToSpeech::Error) {
    engine_->setLocale(QLocale(QLocale::English));
    localeMended_ = engine_->locale().language() == QLocale::English;
  }
  engine_->setRate(rate_);
  engine_->setVolume(volume_);
  connect(engine_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
    if (state == QTextToSpeech::Speaking) started_ = true;
    // Only the end of the text handed over last lets the next one go: an end reported
    // late for a silenced text must not cut the new one short.
    if ((state == QTextToSpeech::Ready && started_) || state == QTextToSpeech::Error) {
      localeMended_ = false;  // an error of its own now
      busy_ = started_ = false;
      if (state == QTextToSpeech::Error) waiting_.clear();
      SayNext();
    }
  });
  return engine_;
}

std::string QtSpeech::Unavailable() {
  QTextToSpeech* engine = Engine();
  if (!engine)
    return tr("No speech engine is installed (Debian packages speech-dispatcher, espeak-ng and "
              "qt6-speech-speechd-plugin).").toStdString();
  if (engine->state() == QTextToSpeech::Error && !localeMended_) {
    const QString reason = engine->errorString();
    return (reason.isEmpty() ? tr("The speech service (speech-dispatcher) does not answer.")
                             : tr("The speech service does not answer: %1").arg(reason))
        .toStdString();
  }
  return {};
}

void QtSpeech::Speak(const std::string& text, const std::string& language) {
  if (!Engine()) return;
  waiting_.emplace_back(QString::fromStdString(text), QLocale(QString::fromStdString(language)));
  if (!busy_) SayNext();
}

void QtSpeech::SayNext() {
  if (waiting_.empty() || !engine_) return;
  auto [text, locale] = std::move(waiting_.front());
  waiting_.pop_front();
  if (engine_->locale().language() != locale.language()) engine_->setLocale(locale);
  busy_ = true;
  started_ = false;
  engine_->say(text);
}

void QtSpeech::Stop() {
  waiting_.clear();
  busy_ = started_ = false;
  if (engine_) engine_->stop();
}

void QtSpeech::SetRate(double rate) {
  rate_ = rate;
  if (engine_) engine_->setRate(rate);
}

void QtSpeech::SetVolume(double volume) {
  volume_ = volume;
  if (engine_) engine_->setVolume(volume);
}

}  // namespace velmora
