#pragma once
// A game folder for story tests: config.ini, a story file written from sections, a script
// library, and the log's messages without their date and time.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/platform.h"
#include "support/test_game.h"

namespace velmora::testing {

using Keys = std::vector<std::pair<std::string, std::string>>;

// Records the files it is asked to decode; fails for file names listed in failFor.
class RecordingDecoder : public PictureDecoder {
 public:
  std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension,
                                        const PictureBox& box) override;
  std::vector<std::string> decoded;  // "<extension> <file name>"
  std::vector<PictureBox> boxes;     // the box each was asked for
  std::vector<std::string> failFor;
};

class StoryTest : public ::testing::Test {
 protected:
  StoryTest();
  // Replaces the story file (a new file each time, so readers always see the change).
  void WriteStory(const std::map<std::string, Keys>& sections);
  void WriteConfig(const std::string& text);
  void WriteScripts(const std::string& text);
  // Makes the Game, opens its documents and loads the script library.
  Game& Make();
  // Log messages after the date and time, with their "Warning:"/"Error:" prefixes.
  std::vector<std::string> Messages(size_t from = 0) const;
  size_t LogSize() const;

  TestGame t;
  RecordingDecoder decoder;
  Game* game = nullptr;
};

}  // namespace velmora::testing
