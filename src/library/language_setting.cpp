#include "library/language_setting.h"

#include <cstdlib>

#include "library/player_settings.h"

namespace velmora {

namespace {

// "ru_RU.UTF-8@euro" -> "ru"; a name that is no language code reads as none.
std::string LanguageCode(const std::string& locale) {
  const std::string code = locale.substr(0, locale.find_first_of("_.@:"));
  if (code.size() < 2 || code.size() > 3) return {};
  for (const char c : code)
    if (c < 'a' || c > 'z') return {};
  return code;
}

}  // namespace

std::string SystemLanguageFrom(const char* language, const char* lcAll, const char* lcMessages, const char* lang) {
  // The locale that decides, as the C library picks it; LANGUAGE (a list) goes first
  // unless that locale is C, which asks for the program's own words.
  std::string locale;
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value && *value) {
      locale = value;
      break;
    }
  }
  if (locale == "C" || locale == "POSIX") return {};
  if (language && *language) {
    const std::string first = std::string(language).substr(0, std::string(language).find(':'));
    if (!LanguageCode(first).empty()) return LanguageCode(first);
  }
  return LanguageCode(locale);
}

std::string SystemLanguage() {
  return SystemLanguageFrom(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string PlayerLanguage(GameFiles& files) {
  const std::string chosen = LanguageCode(PlayerSettingsFile(files).Load().language);
  return chosen.empty() ? SystemLanguage() : chosen;
}

}  // namespace velmora
