#include "story_fixture.h"

#include <filesystem>

#include "script/script_library.h"
#include "base/fault.h"

namespace velmora::testing {

std::shared_ptr<const Picture> RecordingDecoder::Decode(const std::string& path, const std::string& extension,
                                                        const PictureBox& box) {
  const std::string name = std::filesystem::path(path).filename().string();
  decoded.push_back(extension + " " + name);
  boxes.push_back(box);
  for (const auto& f : failFor)
    if (f == name) throw RuntimeFault("Damaged picture file \"" + path + "\" (test)");
  auto picture = std::make_shared<Picture>();
  picture->width = picture->height = 1;
  picture->pixels = {0xFF000000u};
  return picture;
}

StoryTest::StoryTest() {
  t.platform.pictures = &decoder;
  WriteConfig("[Start]\r\nStartPage=start\r\n");
  WriteStory({});
  t.dir.Write("music.lst", "");
}

void StoryTest::WriteStory(const std::map<std::string, Keys>& sections) {
  std::string text;
  for (const auto& [name, keys] : sections) {
    text += "[" + name + "]\r\n";
    for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
  }
  t.dir.Write("story.qst.new", text);
  std::filesystem::rename(t.dir.path() / "story.qst.new", t.dir.path() / "story.qst");
}

void StoryTest::WriteConfig(const std::string& text) {
  t.dir.Write("config.ini.new", text);
  std::filesystem::rename(t.dir.path() / "config.ini.new", t.dir.path() / "config.ini");
}

void StoryTest::WriteScripts(const std::string& text) { t.dir.Write("Scripts/Scripts.bsf", text); }

Game& StoryTest::Make() {
  game = &t.Make();
  LoadScriptLibrary(*game);
  return *game;
}

std::vector<std::string> StoryTest::Messages(size_t from) const {
  std::vector<std::string> out;
  const auto& lines = game->log.Lines();
  for (size_t i = from; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    size_t cut = line.find(" | ");
    cut = cut == std::string::npos ? cut : line.find(" | ", cut + 3);
    out.push_back(cut == std::string::npos ? line : line.substr(cut + 3));
  }
  return out;
}

size_t StoryTest::LogSize() const { return game->log.Lines().size(); }

}  // namespace velmora::testing
