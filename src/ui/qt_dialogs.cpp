#include "ui/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

#include "base/codepage.h"
#include "base/stop_signals.h"
#include "ui/skin.h"

namespace velmora {

namespace {

void Box(QMessageBox::Icon icon, const QString& caption, const QString& text, QWidget* owner) {
  ApplyProgramIcon();
  QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);  // game text is never markup
  box.exec();
}

}  // namespace

QString QtDialogs::Screen(const std::string& bytes) const {
  return QString::fromStdString(codec_ ? codec_->ToUtf8(bytes) : bytes);
}

void QtDialogs::ShowMessage(const std::string& text) {
  Box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), Screen(text), owner_);
}

void QtDialogs::ShowError(const std::string& text) {
  Box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), Screen(text), owner_);
}

void QtDialogs::ShowSystemError(const std::string& text) {
  // No owner window; "Error" is the caption the system gives a box that names none.
  Box(QMessageBox::Critical, QStringLiteral("Error"), Screen(text), nullptr);
}

bool QtDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) {
  ApplyProgramIcon();
  QInputDialog dialog(owner_);
  dialog.setObjectName(QStringLiteral("InputQuery"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(Screen(caption));
  dialog.setLabelText(Screen(prompt));
  dialog.setTextValue(QString());
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::string typed = dialog.textValue().toStdString();
  answer = codec_ ? codec_->FromUtf8(typed) : typed;
  return true;
}

bool QtDialogs::MoreInputPossible() { return !ending_ && !StopSignals::Requested(); }

std::optional<bool> QtDialogs::AskYesNo(const std::string& question) {
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(kApplicationTitle), QString::fromStdString(question),
                  QMessageBox::Yes | QMessageBox::No, owner_);
  box.setObjectName(QStringLiteral("Question"));
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace velmora
