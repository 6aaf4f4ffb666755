#include "support/test_game.h"

#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "script/command_table.h"
#include "script/interpreter.h"

namespace velmora::testing {

bool RecordingDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) {
  shown.push_back("input: " + caption + " | " + prompt);
  if (answers.empty() || answers.front() == "\x18") {
    if (!answers.empty()) answers.erase(answers.begin());
    return false;
  }
  answer = answers.front();
  answers.erase(answers.begin());
  return true;
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / ("velmora-test-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& relative, const std::string& content) const {
  auto full = path_ / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out << content;
  return full.string();
}

std::string TempDir::Read(const std::string& relative) const {
  std::ifstream in(path_ / relative, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TestGame::TestGame() {
  platform.files = &files;
  platform.dialogs = &dialogs;
  platform.clock = &clock;
  platform.audio = &audio;
}

Game& TestGame::Make(std::vector<std::string> args) {
  GameOptions options;
  options.gameFolder = folder();
  options.args = std::move(args);
  game_ = std::make_unique<Game>(platform, options);
  Game& g = *game_;
  auto open = [&](const std::string& rel) -> std::unique_ptr<IniDocument> {
    if (!g.files().FileExists(g.gameFolder() + rel)) return nullptr;
    return std::make_unique<IniDocument>(g.files(), g.files().Resolve(g.gameFolder() + rel));
  };
  g.config = open("config.ini");
  if (g.config) {
    g.storyFileName = g.config->ReadText("Files", "StoryFile", "story.qst");
    g.musicListName = g.config->ReadText("Files", "MusicList", "music.lst");
  } else {
    g.storyFileName = "story.qst";
    g.musicListName = "music.lst";
  }
  g.story = open(g.storyFileName);
  g.tracklist = open(g.musicListName);
  g.messages = open("\\Scripts\\messages.ini");
  return g;
}

std::vector<std::string> LogMessages(const Game& game) {
  std::vector<std::string> out;
  for (const std::string& line : game.log.Lines()) {
    const size_t date = line.find(" | ");
    const size_t time = date == std::string::npos ? date : line.find(" | ", date + 3);
    out.push_back(time == std::string::npos ? line : line.substr(time + 3));
  }
  return out;
}

int32_t RunCommand(Game& game, std::vector<std::string> tokens, CommandAction handler, int32_t p) {
  const TokenList t(*game.interp->commands, std::move(tokens));
  const int16_t code = p < t.size() ? t.CommandAt(p) : kNoCommand;
  EXPECT_TRUE(code >= 0 && (*game.interp->commands)[static_cast<size_t>(code)].action == handler)
      << "the table gives this token another handler";
  ExecuteCommand(game, t, p);
  return p;
}

}  // namespace velmora::testing
