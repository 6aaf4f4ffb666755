#pragma once
// A game folder with a script library, run the way window events run scripts: faults end
// up in the recorded error dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/token_list.h"
#include "support/test_game.h"

namespace velmora::testing {

class ScriptTest : public ::testing::Test {
 protected:
  // Writes Scripts.bsf (and messages.ini / a story file when given), makes the game and
  // loads the library.
  Game& Load(const std::string& library);
  // Loads a library of one script "main" with this body and runs it.
  void RunBody(const std::string& body);
  void Run(const std::string& name);
  // Executes the one command at p of a list of these tokens (outside any event, so
  // faults reach the caller); returns where execution goes on.
  int32_t Step(const std::vector<std::string>& tokens, int32_t p = 0);

  int32_t Int(const std::string& name) const;
  std::string Str(const std::string& name) const;
  bool HasInt(const std::string& name) const;
  // Log messages after the date and time, with their "Warning:"/"Error:" prefixes.
  std::vector<std::string> Messages(size_t from = 0) const;
  size_t LogSize() const;
  const std::vector<std::string>& Shown() const { return t.dialogs.shown; }

  TestGame t;
  Game* game = nullptr;
};

// A story file with pages that have no text and no picture, enough for $goto.
std::string PagesStory(const std::vector<std::string>& pages);

}  // namespace velmora::testing
