#include "ui/self_voicing.h"

#include <QAction>
#include <QMessageBox>
#include <QTimer>

#include "base/fault.h"
#include "base/game.h"
#include "ui/main_window.h"

namespace velmora {

namespace {

SelfVoicing* current = nullptr;  // the run in the windows; there is one at a time

}  // namespace

NarrationPhrases TranslatedPhrases() {
  NarrationPhrases phrases;
  phrases.choices = [](int count) {
    return (count == 1 ? SelfVoicing::tr("1 choice") : SelfVoicing::tr("%n choices", nullptr, count)).toStdString();
  };
  phrases.place = [](int position, int count) {
    return SelfVoicing::tr("%1 of %2").arg(position).arg(count).toStdString();
  };
  phrases.timedPage = SelfVoicing::tr("timed page").toStdString();
  phrases.inventory = SelfVoicing::tr("Inventory").toStdString();
  phrases.emptyInventory = SelfVoicing::tr("no items").toStdString();
  phrases.error = SelfVoicing::tr("Error").toStdString();
  return phrases;
}

SelfVoicing::SelfVoicing(Game& game, MainWindow& window, Speech& speech, PlayerSettingsFile settingsFile)
    : game_(game),
      window_(window),
      speech_(speech),
      settingsFile_(std::move(settingsFile)),
      narrator_(std::make_unique<Narrator>(game, speech, TranslatedPhrases())) {
  narrator_->requestFlush = [this] {
    if (flushPosted_) return;
    flushPosted_ = true;
    // Once the event that changed the page has returned: the page is then whole.
    QTimer::singleShot(0, this, [this] {
      flushPosted_ = false;
      narrator_->Flush();
    });
  };
  toggle = new QAction(tr("Self-voicing"), &window);
  toggle->setCheckable(true);
  toggle->setShortcut(QKeySequence(Qt::Key_V));
  toggle->setShortcutContext(Qt::WindowShortcut);
  window.addAction(toggle);
  connect(toggle, &QAction::triggered, this, [this](bool on) { SetEnabled(on); });
  repeat = new QAction(tr("Say the choice again"), &window);
  repeat->setShortcut(QKeySequence(Qt::Key_R));
  repeat->setShortcutContext(Qt::WindowShortcut);
  window.addAction(repeat);
  connect(repeat, &QAction::triggered, this, [this] { narrator_->RepeatChoice(); });
  const PlayerSettings settings = settingsFile_.Load();
  Apply(settings);
  current = this;
  if (settings.selfVoicing) SetEnabled(true);
}

SelfVoicing::~SelfVoicing() {
  if (current == this) current = nullptr;
  narrator_.reset();
}

void SelfVoicing::Apply(const PlayerSettings& settings) {
  speech_.SetRate(settings.speechRate / 10.0);
  speech_.SetVolume(settings.speechVolume / 100.0);
}

void SelfVoicing::SetEnabled(bool on) {
  toggle->setChecked(on);
  const std::string why = narrator_->SetEnabled(on);
  try {
    PlayerSettings settings = settingsFile_.Load();
    settings.selfVoicing = on;
    settingsFile_.Save(settings);
  } catch (const RuntimeFault&) {
    // Not remembered; the run goes on with it all the same.
  }
  if (on && !why.empty() && !toldWhy_) {
    toldWhy_ = true;
    // Once the window is up: turned on at start, the box would come before the story.
    QTimer::singleShot(0, this, [this, why] {
      QMessageBox box(QMessageBox::Information, window_.windowTitle(),
                      tr("Self-voicing is on, but nothing can be heard: %1").arg(QString::fromStdString(why)),
                      QMessageBox::Ok, &window_);
      box.setObjectName(QStringLiteral("SpeechUnavailable"));
      box.exec();
    });
  }
}

void SelfVoicing::SayInWindow(const QString& text) {
  if (current) current->narrator_->Say(text.toStdString());
}

}  // namespace velmora
