#include "ui/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QVariant>

#include "base/fault.h"
#include "library/language_setting.h"

namespace velmora {

namespace {

const char kSourceLanguage[] = "en";

}  // namespace

QStringList PlayerLanguages() { return {QStringLiteral("en"), QStringLiteral("ru")}; }

QString InstallPlayerLanguage(GameFiles& files) {
  auto* app = QCoreApplication::instance();
  // Kept on the application: a later application (the library after a game) installs again.
  const QVariant installed = app->property("velmoraLanguage");
  if (installed.isValid()) return installed.toString();
  QString language;
  try {
    language = QString::fromStdString(PlayerLanguage(files));
  } catch (const RuntimeFault&) {
    // an unreadable settings file: the system's language
    language = QString::fromStdString(SystemLanguage());
  }
  if (!PlayerLanguages().contains(language)) language = QLatin1String(kSourceLanguage);
  app->setProperty("velmoraLanguage", language);
  QLocale::setDefault(QLocale(language));
  // Parented to the application, they live as long as it does.
  auto* own = new QTranslator(app);
  if (own->load(QStringLiteral(":/i18n/velmora_%1.qm").arg(language)))
    QCoreApplication::installTranslator(own);
  auto* qt = new QTranslator(app);
  if (qt->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qt);
  return language;
}

}  // namespace velmora
