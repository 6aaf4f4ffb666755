#include "ui/audio_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "audio/audio_window_state.h"
#include "base/game.h"

using velmora::AudioWindowState;

namespace {

QFont WindowFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(13);
  return font;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const char* text, int top) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(8, top);
  label->adjustSize();
  return label;
}

// A horizontal track bar, 257 by 25, with a tick under every step it moves by.
QSlider* PlaceTrackBar(QWidget* parent, const char* name, int top, int low, int high, int page, int tick) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setAccessibleName(QString::fromLatin1(name));
  bar->setGeometry(0, top, 257, 25);
  bar->setRange(low, high);
  bar->setSingleStep(1);
  bar->setPageStep(page);
  bar->setTickPosition(QSlider::TicksBelow);
  bar->setTickInterval(tick);
  return bar;
}

}  // namespace

AudioWindow::AudioWindow(velmora::Game& game, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      game_(game) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QStringLiteral("Audio options"));
  setFixedSize(AudioWindowState::kClientWidth, AudioWindowState::kClientHeight);
  move(AudioWindowState::kLeft, AudioWindowState::kTop);
  setFont(WindowFont());

  sLabel1 = PlaceLabel(this, "sLabel1", "Volume", 8);
  Volume = PlaceTrackBar(this, "Volume", 32, AudioWindowState::kVolumeMin, AudioWindowState::kVolumeMax, 10, 10);
  sLabel2 = PlaceLabel(this, "sLabel2", "Balance", 72);
  Balance = PlaceTrackBar(this, "Balance", 96, AudioWindowState::kBalanceMin, AudioWindowState::kBalanceMax, 1, 1);
  sLabel1->setBuddy(Volume);
  sLabel2->setBuddy(Balance);

  sButton1 = new QPushButton(QStringLiteral("OK"), this);
  sButton1->setObjectName(QStringLiteral("sButton1"));
  sButton1->setGeometry(88, 136, 75, 25);
  sButton1->setDefault(true);

  // A slider reports only real changes, after keeping the value within its range, as the
  // core's track bars do; the core still decides, so both agree whatever the view does.
  connect(Volume, &QSlider::valueChanged, this, [this](int value) {
    if (!redrawing_) game_.RunEvent([&] { velmora::SetVolumePosition(game_, value); });
  });
  connect(Balance, &QSlider::valueChanged, this, [this](int value) {
    if (!redrawing_) game_.RunEvent([&] { velmora::SetBalancePosition(game_, value); });
  });
  connect(sButton1, &QPushButton::clicked, this, [this] { game_.RunEvent([this] { velmora::SaveAudioOptions(game_); }); });

  game_.audioWindow->onChanged = [this] { Redraw(); };
  Redraw();
}

AudioWindow::~AudioWindow() { game_.audioWindow->onChanged = nullptr; }

void AudioWindow::closeEvent(QCloseEvent* event) {
  // The close box hides without saving; the core decides.
  if (game_.audioWindow->visible) velmora::CloseAudioOptions(game_);
  event->accept();
}

void AudioWindow::Redraw() {
  const AudioWindowState& form = *game_.audioWindow;
  redrawing_ = true;
  Volume->setValue(form.volume);
  Balance->setValue(form.balance);
  redrawing_ = false;
  if (form.visible != isVisible()) setVisible(form.visible);
  if (form.visible && form.showCount != shownFor_) {
    raise();
    activateWindow();
  }
  shownFor_ = form.showCount;
}
