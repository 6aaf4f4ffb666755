#pragma once
// The player's own folders moved to a temporary directory for one test, and game folders
// to put in the library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/test_game.h"

namespace velmora::testing {

class UserFoldersTest : public ::testing::Test {
 protected:
  UserFoldersTest() {
    Keep("XDG_CONFIG_HOME", config_);
    Keep("XDG_DATA_HOME", data_);
    setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
  }
  ~UserFoldersTest() override {
    Restore("XDG_CONFIG_HOME", config_);
    Restore("XDG_DATA_HOME", data_);
  }

  // A game folder below the games folder: config.ini naming the story file, whose start
  // page shows `picture` (present in Images).
  std::string MakeGame(const std::string& name, const std::string& caption = "A Game",
                       const std::string& picture = "title.jpg") const {
    std::string config = "[Files]\r\nStoryFile=tale.qst\r\n";
    if (!caption.empty()) config += "[GameForm]\r\nCaption=" + caption + "\r\n";
    games.Write(name + "/config.ini", config);
    games.Write(name + "/tale.qst", "[gamestart]\r\nQuestPicture=" + picture + "\r\nTextSize=0\r\n");
    games.Write(name + "/music.lst", "");
    games.Write(name + "/Images/" + picture, "picture bytes");
    return (games.path() / name).string();
  }

  PosixFiles files;
  TempDir home;   // the user's config and data folders
  TempDir games;  // where game folders are made

 private:
  static void Keep(const char* name, std::optional<std::string>& slot) {
    if (const char* v = std::getenv(name)) slot = v;
  }
  static void Restore(const char* name, const std::optional<std::string>& slot) {
    if (slot) setenv(name, slot->c_str(), 1);
    else unsetenv(name);
  }
  std::optional<std::string> config_, data_;
};

}  // namespace velmora::testing
