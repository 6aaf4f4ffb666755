#include "ui/audio_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QKeyEvent>
#include <QSlider>

#include "audio/audio_window_state.h"
#include "base/game.h"
#include "ui/skin.h"

namespace velmora {
namespace {

QLabel* PlaceLabel(ScaledPlacement& placement, QWidget* parent, const char* name, const char* text, int top) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  placement.Place(label, QRect(8, top, 0, 0));
  return label;
}

// A horizontal track bar, 257 by 25, with a tick under every step it moves by.
QSlider* PlaceTrackBar(ScaledPlacement& placement, QWidget* parent, const char* name, int top, int low, int high,
                       int page, int tick) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(QString::fromLatin1(name));
  placement.Place(bar, QRect(0, top, 257, 25));
  bar->setRange(low, high);
  bar->setSingleStep(1);
  bar->setPageStep(page);
  bar->setTickPosition(QSlider::TicksBelow);
  bar->setTickInterval(tick);
  return bar;
}

}  // namespace

AudioWindow::AudioWindow(Game& game, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      game_(game) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(tr("Audio options"));
  placement_.Fix(this, QSize(AudioWindowState::kClientWidth, AudioWindowState::kClientHeight));
  placement_.SetFont(this, QStringLiteral("MS Sans Serif"), 13);
  move(KeepOnScreens(QRect(AudioWindowState::kLeft, AudioWindowState::kTop, AudioWindowState::kClientWidth,
                           AudioWindowState::kClientHeight))
           .topLeft());

  volumeLabel = PlaceLabel(placement_, this, "sLabel1", "Volume", 8);
  volumeBar = PlaceTrackBar(placement_, this, "Volume", 32, AudioWindowState::kVolumeMin,
                            AudioWindowState::kVolumeMax, 10, 10);
  balanceLabel = PlaceLabel(placement_, this, "sLabel2", "Balance", 72);
  balanceBar = PlaceTrackBar(placement_, this, "Balance", 96, AudioWindowState::kBalanceMin,
                             AudioWindowState::kBalanceMax, 1, 1);
  // The designed labels stay as they are; a screen reader hears the bars in the player's language.
  volumeBar->setAccessibleName(tr("Volume"));
  balanceBar->setAccessibleName(tr("Balance"));
  volumeLabel->setBuddy(volumeBar);
  balanceLabel->setBuddy(balanceBar);

  okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setObjectName(QStringLiteral("sButton1"));
  placement_.Place(okButton, QRect(88, 136, 75, 25));
  okButton->setDefault(true);
  placement_.Apply(scale_);

  // A slider reports only real changes, after keeping the value within its range, as the
  // core's track bars do; the core still decides, so both agree whatever the view does.
  connect(volumeBar, &QSlider::valueChanged, this, [this](int value) {
    if (!redrawing_) game_.audioWindow->MoveVolume(game_, value);
  });
  connect(balanceBar, &QSlider::valueChanged, this, [this](int value) {
    if (!redrawing_) game_.audioWindow->MoveBalance(game_, value);
  });
  connect(okButton, &QPushButton::clicked, this, [this] { game_.audioWindow->PressOk(game_); });

  game_.audioWindow->onChanged = [this] { Redraw(); };
  Redraw();
}

AudioWindow::~AudioWindow() { game_.audioWindow->onChanged = nullptr; }

void AudioWindow::SetScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
  setStyleSheet(scale == 1.0 ? QString() : ScaledStyleSheet(SkinStyleSheet(), scale));
  placement_.Apply(scale);
  const QRect frame = isVisible() ? frameGeometry() : geometry();
  move(KeepOnScreens(QRect(pos(), frame.size())).topLeft());
}

void AudioWindow::keyPressEvent(QKeyEvent* event) {
  // Escape is the close box (the controls pass it on).
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    game_.audioWindow->Close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void AudioWindow::closeEvent(QCloseEvent* event) {
  // The close box hides without saving; the core decides.
  game_.audioWindow->Close();
  event->accept();
}

void AudioWindow::Redraw() {
  const AudioWindowState& state = *game_.audioWindow;
  redrawing_ = true;
  volumeBar->setValue(state.volume);
  balanceBar->setValue(state.balance);
  redrawing_ = false;
  if (state.visible != isVisible()) setVisible(state.visible);
  if (state.visible && state.showCount != shownFor_) {
    raise();
    activateWindow();
  }
  shownFor_ = state.showCount;
}

}  // namespace velmora
