#include "library/language_setting.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(SystemLanguage, TheVariableThatDecidesAsTheCLibraryReadsIt) {
  struct Case {
    const char *language, *lcAll, *lcMessages, *lang, *expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, "ru_RU.UTF-8", "ru"},
      {nullptr, "en_US.UTF-8", "ru_RU.UTF-8", "ru_RU.UTF-8", "en"},  // LC_ALL overrides
      {nullptr, "", "ru_RU.UTF-8", "en_US.UTF-8", "ru"},              // empty counts as unset
      {"ru:en", nullptr, nullptr, "en_US.UTF-8", "ru"},               // LANGUAGE's first goes first
      {"ru:en", "C", nullptr, "ru_RU.UTF-8", ""},                     // but C asks for the own words
      {nullptr, nullptr, nullptr, "POSIX", ""},
      {nullptr, nullptr, nullptr, nullptr, ""},
      {nullptr, nullptr, nullptr, "de_DE@euro", "de"},
      {nullptr, nullptr, nullptr, "RU_ru", ""},  // no language code
  };
  for (const Case& c : cases)
    EXPECT_EQ(SystemLanguageFrom(c.language, c.lcAll, c.lcMessages, c.lang), c.expected)
        << (c.language ? c.language : "-") << ' ' << (c.lcAll ? c.lcAll : "-") << ' ' << (c.lang ? c.lang : "-");
}

}  // namespace
}  // namespace velmora
