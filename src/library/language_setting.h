#pragma once
// The language of the player's own words (its windows, notices and dates; a game's own
// texts and boxes keep the game's): the one chosen in the player's settings, else the
// system's, as gettext reads it.
#include <string>

namespace velmora {

class GameFiles;

// The language code of the first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that names
// one ("ru_RU.UTF-8" -> "ru"); empty for none, "C" or "POSIX".
std::string SystemLanguage();
std::string SystemLanguageFrom(const char* language, const char* lcAll, const char* lcMessages, const char* lang);

// The language chosen in settings.ini ([Player] Language), else the system's.
std::string PlayerLanguage(GameFiles& files);

}  // namespace velmora
