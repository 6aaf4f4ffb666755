// The player's settings file: defaults, a round trip that keeps what others wrote, and
// values out of range.
#include "library/player_settings.h"

#include <gtest/gtest.h>

#include "library/library_fixture.h"

namespace velmora {
namespace {

using testing::UserFoldersTest;
using PlayerSettingsTest = UserFoldersTest;

TEST_F(PlayerSettingsTest, ARoundTripKeepsOtherKeysAndComments) {
  EXPECT_EQ(PlayerSettingsFile(files).Load(), PlayerSettings{}) << "no file: the defaults";
  home.Write("config/velmora-player/settings.ini", "; mine\r\n[Player]\r\nLanguage=ru\r\nTheme=dark\r\n");
  PlayerSettings s = PlayerSettingsFile(files).Load();
  EXPECT_EQ(s.language, "ru");
  s.selfVoicing = true;
  s.timeToRead = 4;
  s.speechRate = -3;
  s.textSize = 18;
  PlayerSettingsFile(files).Save(s);
  EXPECT_EQ(PlayerSettingsFile(files).Load(), s);
  const std::string text = home.Read("config/velmora-player/settings.ini");
  EXPECT_NE(text.find("; mine"), std::string::npos);
  EXPECT_NE(text.find("Theme=dark"), std::string::npos);
}

TEST_F(PlayerSettingsTest, ValuesOutOfRangeReadAsDefaults) {
  home.Write("config/velmora-player/settings.ini",
             "[Accessibility]\r\nTimeToRead=3\r\nSpeechRate=11\r\nSpeechVolume=-1\r\nTextSize=500\r\n");
  const PlayerSettings s = PlayerSettingsFile(files).Load();
  EXPECT_EQ(s.timeToRead, 1);
  EXPECT_EQ(s.speechRate, 0);
  EXPECT_EQ(s.speechVolume, 100);
  EXPECT_EQ(s.textSize, 0);
}

}  // namespace
}  // namespace velmora
