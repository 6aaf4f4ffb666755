// The path resolver: separators, and letter case as a Windows disk ignores it, for ASCII
// and the Cyrillic letters of Windows-1251, whether names on disk are UTF-8 or not.
#include "base/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "base/codepage.h"
#include "support/test_game.h"

namespace velmora {
namespace {

using testing::TempDir;

PosixFiles files;

// Лес in UTF-8, and ЛЕС / лес / ёлка / ЁЛКА in Windows-1251 and UTF-8.
const std::string kForestUtf8 = "\xD0\x9B\xD0\xB5\xD1\x81";
const std::string kFOREST1251 = "\xCB\xC5\xD1";
const std::string kForestLower1251 = "\xEB\xE5\xF1";
const std::string kFirTree1251 = "\xB8\xEB\xEA\xE0";
const std::string kFIRTREEUtf8 = "\xD0\x81\xD0\x9B\xD0\x9A\xD0\x90";

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.path().string();
    dir.Write("Music/Track One.MP3", "");
    dir.Write("Images/" + kForestUtf8 + ".jpg", "");
    dir.Write("Scripts/" + kFirTree1251 + ".scr", "");
    dir.Write("Both/A.txt", "");
    dir.Write("Both/a.txt", "");
  }
  TempDir dir;
  std::string root;
};

TEST_F(PathsTest, ResolvesSeparatorsAndLetterCase) {
  const std::pair<std::string, std::string> cases[] = {
      {"\\music\\track one.mp3", "/Music/Track One.MP3"},
      {"//Music//\\Track One.MP3", "/Music/Track One.MP3"},
      {"\\IMAGES\\" + kFOREST1251 + ".JPG", "/Images/" + kForestUtf8 + ".jpg"},      // 1251 text, UTF-8 disk
      {"\\images\\" + kForestLower1251 + ".jpg", "/Images/" + kForestUtf8 + ".jpg"},
      {"/Images/" + std::string("\xD0\xBB\xD0\x95\xD1\x81") + ".jpg", "/Images/" + kForestUtf8 + ".jpg"},  // лЕс
      {"\\scripts\\" + kFIRTREEUtf8 + ".SCR", "/Scripts/" + kFirTree1251 + ".scr"},  // UTF-8 text, 1251 disk
      {"\\Both\\A.txt", "/Both/A.txt"},  // the exact name first
      {"\\Both\\a.txt", "/Both/a.txt"},
      {"\\BOTH\\a.TXT", "/Both/A.txt"},  // several match: the smallest name, whatever the folder's order
      {"\\Music\\none.mp3", "/Music/none.mp3"},
      {"\\nowhere\\Track One.MP3", "/nowhere/Track One.MP3"},
      {"\\images\\", "/Images/"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(files.Resolve(root + in), root + out) << in;
  EXPECT_EQ(files.Resolve(""), "");
  EXPECT_EQ(files.Resolve("relative\\\\name"), "relative/name");
}

TEST_F(PathsTest, ExistenceAfterResolving) {
  EXPECT_TRUE(files.FileExists(root + "\\MUSIC\\track one.mp3"));
  EXPECT_FALSE(files.FileExists(root + "\\music"));  // a folder is no file
  EXPECT_TRUE(files.PathExists(root + "\\music\\"));
  EXPECT_FALSE(files.FileExists(root + "\\Music\\none.mp3"));
  EXPECT_FALSE(files.FileExists(""));
}

// Every Cyrillic letter pair of Windows-1251 (as iconv decodes the bytes) matches in both
// directions and in both encodings; signs that only look alike do not.
TEST(PathsCyrillic, EveryLetterPairOfTheCodePage) {
  std::vector<std::pair<unsigned char, unsigned char>> pairs = {
      {0xA8, 0xB8}, {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
      {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3},
      {0xBD, 0xBE}};
  for (int b = 0xC0; b < 0xE0; ++b) pairs.emplace_back(b, b + 0x20);
  const TextCodec codec("WINDOWS-1251");
  TempDir dir;
  for (const auto& [upper, lower] : pairs) {
    const std::string up(1, static_cast<char>(upper)), low(1, static_cast<char>(lower));
    const std::string onDisk1251 = dir.Write("cp/" + low, "");
    const std::string onDiskUtf8 = dir.Write("utf/" + codec.ToUtf8(up), "");
    EXPECT_EQ(files.Resolve(dir.path().string() + "/cp/" + up), onDisk1251) << int(upper);
    EXPECT_EQ(files.Resolve(dir.path().string() + "/utf/" + low), onDiskUtf8) << int(lower);
    EXPECT_EQ(files.Resolve(dir.path().string() + "/utf/" + codec.ToUtf8(low)), onDiskUtf8) << int(lower);
    std::filesystem::remove(onDisk1251);
    std::filesystem::remove(onDiskUtf8);
  }
  dir.Write("signs/\xAB", "");  // « is not » in another case
  EXPECT_EQ(files.Resolve(dir.path().string() + "/signs/\xBB"), dir.path().string() + "/signs/\xBB");
}

}  // namespace
}  // namespace velmora
