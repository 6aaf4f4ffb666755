#pragma once
// A game folder and a Game whose boxes are printed as the replay transcript prints them.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "console/console_dialogs.h"
#include "support/test_game.h"

namespace velmora::testing {

class ConsoleTest : public ::testing::Test {
 protected:
  ConsoleTest() { tg.platform.dialogs = &dialogs; }
  // Writes config.ini, the story file and an empty tracklist, then makes the Game.
  Game& Make(const std::string& story, const std::string& config = "[GameForm]\nCaption=Test\n") {
    tg.dir.Write("config.ini", config);
    tg.dir.Write("story.qst", story);
    tg.dir.Write("music.lst", "");
    Game& game = tg.Make();
    dialogs.SetCodec(&game.codec);
    return game;
  }
  std::vector<std::string> Messages() { return LogMessages(tg.game()); }
  bool Logged(const std::string& message) {
    const auto m = Messages();
    return std::find(m.begin(), m.end(), message) != m.end();
  }
  std::vector<std::string> Transcript() const {
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::ostringstream out;
  ConsoleDialogs dialogs{out};
  TestGame tg;
};

}  // namespace velmora::testing
