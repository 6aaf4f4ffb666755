#include "ui/settings_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/fault.h"
#include "ui/notice.h"

namespace velmora {

namespace {

template <class Control>
Control* Named(Control* control, const char* objectName, const QString& accessibleName) {
  control->setObjectName(QString::fromLatin1(objectName));
  control->setAccessibleName(accessibleName);
  return control;
}

}  // namespace

SettingsWindow::SettingsWindow(const PlayerSettings& settings, QWidget* parent) : QDialog(parent), base_(settings) {
  setObjectName(QStringLiteral("SettingsWindow"));
  setWindowTitle(tr("Settings"));
  setModal(true);

  language = Named(new QComboBox(this), "Language", tr("Language"));
  language->addItem(tr("As the system"), QString());
  language->addItem(QStringLiteral("English"), QStringLiteral("en"));
  language->addItem(QStringLiteral("Русский"), QStringLiteral("ru"));
  language->setCurrentIndex(std::max(0, language->findData(QString::fromStdString(settings.language))));
  selfVoicing = Named(new QCheckBox(tr("Speak the story aloud (V)"), this), "SelfVoicing", tr("Self-voicing"));
  selfVoicing->setChecked(settings.selfVoicing);
  speechRate = Named(new QSlider(Qt::Horizontal, this), "SpeechRate", tr("Speech rate"));
  speechRate->setRange(-10, 10);
  speechRate->setValue(settings.speechRate);
  speechVolume = Named(new QSlider(Qt::Horizontal, this), "SpeechVolume", tr("Speech volume"));
  speechVolume->setRange(0, 100);
  speechVolume->setValue(settings.speechVolume);
  timeToRead = Named(new QComboBox(this), "TimeToRead", tr("Time to read"));
  for (int factor : {1, 2, 4}) timeToRead->addItem(tr("%1 times the page's time").arg(factor), factor);
  timeToRead->setCurrentIndex(std::max(0, timeToRead->findData(settings.timeToRead)));
  countdown = Named(new QCheckBox(tr("Show the time left on timed pages"), this), "Countdown",
                    tr("Show the time left on timed pages"));
  countdown->setChecked(settings.countdown);
  textSize = Named(new QSpinBox(this), "TextSize", tr("Text size"));
  textSize->setRange(0, 72);
  textSize->setSpecialValueText(tr("As the game sets it"));
  textSize->setSuffix(tr(" pt"));
  textSize->setValue(settings.textSize);
  highContrast = Named(new QCheckBox(tr("High-contrast colours (from the next start)"), this), "HighContrast",
                       tr("High-contrast colours"));
  highContrast->setChecked(settings.highContrast);

  auto* form = new QFormLayout;
  form->addRow(tr("Language (from the next start):"), language);
  form->addRow(selfVoicing);
  form->addRow(tr("Speech rate:"), speechRate);
  form->addRow(tr("Speech volume:"), speechVolume);
  form->addRow(tr("Time to read:"), timeToRead);
  form->addRow(countdown);
  form->addRow(tr("Text size:"), textSize);
  form->addRow(highContrast);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

PlayerSettings SettingsWindow::Chosen() const {
  PlayerSettings s = base_;
  s.language = language->currentData().toString().toStdString();
  s.selfVoicing = selfVoicing->isChecked();
  s.speechRate = speechRate->value();
  s.speechVolume = speechVolume->value();
  s.timeToRead = timeToRead->currentData().toInt();
  s.countdown = countdown->isChecked();
  s.textSize = textSize->value();
  s.highContrast = highContrast->isChecked();
  return s;
}

QAction* SettingsWindow::AddCommand(QWidget* mainWindow, PlayerSettingsFile file,
                                    std::function<void(const PlayerSettings&)> apply) {
  auto* action = new QAction(tr("Settings..."), mainWindow);
  mainWindow->addAction(action);
  connect(action, &QAction::triggered, mainWindow, [mainWindow, file, apply] {
    SettingsWindow window(file.Load(), mainWindow);
    if (window.exec() != QDialog::Accepted) return;
    const PlayerSettings chosen = window.Chosen();
    try {
      file.Save(chosen);
    } catch (const RuntimeFault& fault) {
      // A result, not a question: said over the window like every other.
      ShowNotice(*mainWindow, tr("The settings could not be kept: %1").arg(QString::fromStdString(fault.what())));
    }
    if (apply) apply(chosen);
  });
  return action;
}

}  // namespace velmora
