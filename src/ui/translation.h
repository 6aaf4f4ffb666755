#pragma once
// The player's own words in the user's language: its translation (built from
// src/ui/translations/*.ts into the resources), Qt's own (file dialogs, standard
// buttons) and that language's dates and times, for every window the program opens.
#include <QString>
#include <QStringList>

namespace velmora {

class GameFiles;

// Installs the translations for the language the user chose (settings.ini), else the
// system's, and makes it the default locale. Once per application; later calls return the
// language installed then. An unknown language leaves the words English.
QString InstallPlayerLanguage(GameFiles& files);
// The languages the player speaks ("en", "ru").
QStringList PlayerLanguages();

}  // namespace velmora
