#pragma once
// The language of the player's own words (its windows, notices and dates; a game's own
// texts and boxes keep the game's): the one the user chose, kept as [Player] Language in
// settings.ini of the user's config folder, else the system's, as gettext reads it.
#include <string>

namespace velmora {

class GameFiles;

std::string PlayerSettingsPath();

// The chosen language ("ru", "en"); empty when the user chose none (the system's then).
std::string ChosenLanguage(GameFiles& files, const std::string& settingsPath = PlayerSettingsPath());
// Keeps `language` as the choice; empty goes back to the system's. Raises RuntimeFault
// ("Unable to write to <path>") when the file cannot be written.
void ChooseLanguage(GameFiles& files, const std::string& language, const std::string& settingsPath = PlayerSettingsPath());

// The language code of the first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that names
// one ("ru_RU.UTF-8" -> "ru"); empty for none, "C" or "POSIX".
std::string SystemLanguage();
std::string SystemLanguageFrom(const char* language, const char* lcAll, const char* lcMessages, const char* lang);

// The chosen language, else the system's.
std::string PlayerLanguage(GameFiles& files, const std::string& settingsPath = PlayerSettingsPath());

}  // namespace velmora
