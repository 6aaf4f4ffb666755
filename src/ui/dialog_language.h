#pragma once
// The language of the standard buttons (OK, Cancel...) in the player's dialogs: Qt's own
// translations, in the language the game is written in when its texts are Cyrillic (a
// Russian game shows Russian buttons on any desktop), else in the desktop's language.
#include <QLocale>
#include <QString>

class QCoreApplication;
class QTranslator;

namespace velmora {

class Game;

// Whether most of the letters in `text` are Cyrillic.
bool MostlyCyrillic(const QString& text);
// The language for the game's dialogs, judged by the texts the game has shown so far
// (caption, story text, choices).
QLocale DialogLocale(const Game& game);
// Loads Qt's translation for `locale` into the application (it owns the translator);
// null when none is installed (the buttons then stay English).
QTranslator* TranslateStandardButtons(QCoreApplication& app, const QLocale& locale);

}  // namespace velmora
