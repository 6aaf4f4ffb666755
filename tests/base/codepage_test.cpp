// Game bytes to screen text and back.
#include "base/codepage.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velmora
