// Game bytes to screen text and back.
#include "base/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(TextCodec, ConvertsWindows1251AndKeepsUtf8) {
  TextCodec codec("WINDOWS-1251");
  EXPECT_EQ(codec.ToUtf8("plain"), "plain");
  EXPECT_EQ(codec.ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2 \xB8"), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD1\x91");
  EXPECT_EQ(codec.ToUtf8("\xD0\x9F\xD1\x80"), "\xD0\x9F\xD1\x80");  // already UTF-8
  EXPECT_EQ(codec.FromUtf8("\xD0\x9F\xD1\x80\xD0\xB8"), "\xCF\xF0\xE8");
  EXPECT_EQ(codec.FromUtf8("\xE6\x97\xA5"), "?");  // no such character in the code page
  codec.SetGameIsUtf8(true);
  EXPECT_EQ(codec.FromUtf8("\xD0\x9F"), "\xD0\x9F");  // a UTF-8 game keeps what is typed
}

// Every byte of Windows-1251 that stands for a character comes back as itself (0x98 is
// the one unassigned byte).
TEST(TextCodec, Windows1251RoundTripsEveryCharacter) {
  const TextCodec codec("WINDOWS-1251");
  for (int b = 0x01; b <= 0xFF; ++b) {
    if (b == 0x98) continue;
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(codec.FromUtf8(codec.ToUtf8(byte)), byte) << "byte " << b;
  }
}

// What the player types, as the game receives it. Characters the code page lacks become
// '?' one for one, whatever the machine's iconv does with them itself.
TEST(TextCodec, TypedTextReachesTheGameInItsCodePage) {
  struct Case {
    const char* codePage;
    bool utf8Game;
    std::string typed, game;
  } const cases[] = {
      {"WINDOWS-1251", false, "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0", "\xCD\xE8\xEA\xE0"},  // Ника
      {"WINDOWS-1251", false, "\xD0\x81\xD1\x91 \xE2\x84\x96 \xC2\xAB\xE2\x80\x94\xC2\xBB \xE2\x82\xAC",
       "\xA8\xB8 \xB9 \xAB\x97\xBB \x88"},  // Ёё № «—» €
      {"WINDOWS-1251", false, "Zo\xC3\xAB", "Zo?"},                           // ë: not in the code page
      {"WINDOWS-1251", false, "\xE6\x97\xA5\xF0\x9F\x99\x82!", "??" "!"},         // 日 and an emoji
      {"WINDOWS-1251", false, "a*b\xC3\xAB" "c", "a*b?c"},                        // a '*' typed stays one
      {"WINDOWS-1251", false, "\xFF\xD0", "??"},                                // no UTF-8 at all
      {"KOI8-R", false, "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0 \xC3\xAB", "\xEE\xC9\xCB\xC1 ?"},  // Ника ë
      {"WINDOWS-1251", true, "Zo\xC3\xAB \xD0\x9D", "Zo\xC3\xAB \xD0\x9D"},  // a UTF-8 game takes it as typed
  };
  for (const Case& c : cases) {
    TextCodec codec(c.codePage);
    codec.SetGameIsUtf8(c.utf8Game);
    EXPECT_EQ(codec.FromUtf8(c.typed), c.game) << c.codePage << ": " << c.typed;
  }
}

}  // namespace
}  // namespace velmora
