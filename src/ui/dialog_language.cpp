#include "ui/dialog_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "base/game.h"
#include "base/main_window_state.h"

namespace velmora {

bool MostlyCyrillic(const QString& text) {
  int cyrillic = 0, other = 0;
  for (const QChar c : text) {
    if (!c.isLetter()) continue;
    if (c.script() == QChar::Script_Cyrillic)
      ++cyrillic;
    else
      ++other;
  }
  return cyrillic > other;
}

QLocale DialogLocale(const Game& game) {
  const MainWindowState& window = *game.mainWindow;
  std::string texts = window.caption;
  for (const std::string& line : window.storyLines) texts += "\n" + line;
  for (const std::string& item : window.choiceItems) texts += "\n" + item;
  if (MostlyCyrillic(QString::fromStdString(game.codec.ToUtf8(texts)))) return QLocale(QLocale::Russian, QLocale::Russia);
  return QLocale::system();
}

QTranslator* TranslateStandardButtons(QCoreApplication& app, const QLocale& locale) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  QCoreApplication::installTranslator(translator);
  return translator;
}

}  // namespace velmora
