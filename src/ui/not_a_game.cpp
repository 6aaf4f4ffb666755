#include "ui/not_a_game.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <memory>

#include "ui/fonts.h"
#include "ui/skin.h"
#include "ui/translation.h"

namespace velmora {

QString NotAGameText(const QString& folder, const GameFolderInfo& info) {
  QString why;
  switch (info.lack) {
    case GameFolderInfo::Lack::kFolder:
      why = QCoreApplication::translate("velmora::NotAGame", "There is no folder %1.").arg(folder);
      break;
    case GameFolderInfo::Lack::kStoryFile:
      why = QCoreApplication::translate("velmora::NotAGame", "%1 has a config.ini, but not the story file it names, %2.")
                .arg(folder, QString::fromStdString(info.missingFile));
      break;
    default:
      why = QCoreApplication::translate("velmora::NotAGame", "%1 holds no config.ini, which every game folder has.").arg(folder);
      break;
  }
  return QCoreApplication::translate("velmora::NotAGame", "This folder is not a game.") + QLatin1Char('\n') + why + QLatin1Char('\n') +
         QCoreApplication::translate("velmora::NotAGame", "Open the folder that holds the game's config.ini, or pick a game in the game library.");
}

void ShowNotAGame(int& argc, char** argv, GameFiles& files, const std::string& folder, const GameFolderInfo& info) {
  std::unique_ptr<QApplication> own;
  if (!QApplication::instance()) own = std::make_unique<QApplication>(argc, argv);
  QApplication::setApplicationName(QStringLiteral("velmora-player"));
  QApplication::setDesktopFileName(QStringLiteral("velmora-player"));
  InstallPlayerLanguage(files);
  InstallFontSubstitutions();
  ApplySkin(*qApp);
  ApplyProgramIcon();
  QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("velmora::NotAGame", "Velmora Player: not a game"),
                  NotAGameText(QString::fromStdString(folder), info), QMessageBox::Ok);
  box.setObjectName(QStringLiteral("NotAGame"));
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace velmora
