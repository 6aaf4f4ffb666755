#include "library/game_library.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/codepage.h"
#include "base/fault.h"
#include "base/ini_document.h"
#include "library/user_folders.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// Values are written in double quotes, which reading takes off again, so blanks at the
// ends of a path or caption survive.
std::string Quoted(const std::string& value) { return "\"" + value + "\""; }

// A value that the INI form cannot hold as it is.
bool FitsAValue(const std::string& value) {
  return value.size() + 2 <= IniDocument::kMaxValueLength && value.find_first_of("\r\n") == std::string::npos;
}

std::string OneLine(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text.substr(0, IniDocument::kMaxValueLength - 2);
}

std::string FolderName(const std::string& folder) {
  fs::path p(folder);
  if (!p.has_filename()) p = p.parent_path();
  return p.filename().string();
}

}  // namespace

GameFolderInfo InspectGameFolder(GameFiles& files, const std::string& folder, const std::string& codePage) {
  GameFolderInfo info;
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  std::error_code ec;
  if (!fs::is_directory(base, ec)) {
    info.problem = "no folder at " + folder;
    return info;
  }
  if (!files.FileExists(base + "config.ini")) {
    info.problem = "no config.ini in " + folder;
    return info;
  }
  const IniDocument config(files, files.Resolve(base + "config.ini"));
  const std::string storyName = config.ReadText("Files", "StoryFile", "story.qst");
  if (!files.FileExists(base + storyName)) {
    info.problem = "no story file " + storyName + " in " + folder;
    return info;
  }
  info.isGame = true;

  const IniDocument story(files, files.Resolve(base + storyName));
  TextCodec codec(codePage);
  codec.SetGameIsUtf8(story.HoldsUtf8Text());
  const std::string caption = config.ReadText("GameForm", "Caption", "");
  info.captionUtf8 = caption.empty() ? FolderName(base) : codec.ToUtf8(caption);

  const std::string startPage = config.ReadText("Start", "StartPage", "gamestart");
  const std::string picture = story.ReadText(startPage, "QuestPicture", "nil");
  if (picture != "nil" && !picture.empty() && files.FileExists(base + "Images\\" + picture))
    info.thumbnail = files.Resolve(base + "Images\\" + picture);
  return info;
}

std::string GameLibrary::DefaultPath() { return UserConfigFolder() + "library.ini"; }

GameLibrary::GameLibrary(GameFiles& files, std::string path, std::string codePage)
    : files_(&files), path_(std::move(path)), codePage_(std::move(codePage)) {}

std::string GameLibrary::ListedForm(const std::string& folder) {
  std::error_code ec;
  fs::path p = fs::absolute(folder, ec);
  if (ec) p = folder;
  fs::path canonical = fs::weakly_canonical(p, ec);
  std::string text = (ec ? p.lexically_normal() : canonical).string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

std::vector<GameLibrary::Record> GameLibrary::Load() const {
  std::vector<Record> records;
  const IniDocument ini(*files_, path_);
  const int32_t count = ini.ReadInteger("Library", "Count", 0);
  for (int32_t i = 0; i < count && i < 100000; ++i) {
    const std::string section = "Game" + std::to_string(i);
    Record r;
    r.folder = ini.ReadText(section, "Folder", "");
    if (r.folder.empty()) continue;
    r.caption = ini.ReadText(section, "Caption", "");
    const std::string played = ini.ReadText(section, "LastPlayed", "0");
    try {
      r.lastPlayed = std::stoll(played);
    } catch (const std::exception&) {
      r.lastPlayed = 0;
    }
    records.push_back(std::move(r));
  }
  return records;
}

void GameLibrary::Save(const std::vector<Record>& records) const {
  std::error_code ec;
  fs::create_directories(fs::path(path_).parent_path(), ec);
  if (ec) throw RuntimeFault("Unable to write to " + path_);
  std::string text = "; The games of Velmora Player's library, in the order they were added.\n";
  text += "[Library]\nCount=" + std::to_string(records.size()) + "\n";
  for (size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    text += "[Game" + std::to_string(i) + "]\n";
    text += "Folder=" + Quoted(r.folder) + "\n";
    text += "Caption=" + Quoted(OneLine(r.caption)) + "\n";
    text += "LastPlayed=" + std::to_string(r.lastPlayed) + "\n";
  }
  IniDocument(*files_, path_).ReplaceContent(text);
}

std::vector<LibraryEntry> GameLibrary::Games() const {
  std::vector<LibraryEntry> games;
  for (const Record& r : Load()) {
    LibraryEntry e;
    e.folder = r.folder;
    e.lastPlayed = r.lastPlayed;
    const GameFolderInfo info = InspectGameFolder(*files_, r.folder, codePage_);
    e.present = info.isGame;
    e.captionUtf8 = info.isGame ? info.captionUtf8 : r.caption;
    e.thumbnail = info.thumbnail;
    games.push_back(std::move(e));
  }
  return games;
}

GameLibrary::AddResult GameLibrary::Add(const std::string& folder, std::string* problem) {
  const std::string listed = ListedForm(folder);
  GameFolderInfo info = InspectGameFolder(*files_, listed, codePage_);
  if (info.isGame && !FitsAValue(listed)) {
    info.isGame = false;
    info.problem = "the folder's path is too long or holds a line break: " + folder;
  }
  if (!info.isGame) {
    if (problem) *problem = info.problem;
    return AddResult::kNotAGame;
  }
  std::vector<Record> records = Load();
  for (const Record& r : records)
    if (r.folder == listed) return AddResult::kAlreadyListed;
  records.push_back({listed, info.captionUtf8, 0});
  Save(records);
  return AddResult::kAdded;
}

std::vector<std::string> GameLibrary::Scan(const std::string& folder) {
  std::vector<std::string> candidates{folder};
  std::vector<std::string> inside;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) inside.push_back(it->path().string());
  }
  std::sort(inside.begin(), inside.end());
  candidates.insert(candidates.end(), inside.begin(), inside.end());

  std::vector<std::string> added;
  for (const std::string& candidate : candidates)
    if (Add(candidate) == AddResult::kAdded) added.push_back(ListedForm(candidate));
  return added;
}

bool GameLibrary::Remove(const std::string& folder) {
  const std::string listed = ListedForm(folder);
  std::vector<Record> records = Load();
  const auto gone = std::remove_if(records.begin(), records.end(), [&](const Record& r) {
    return r.folder == listed || r.folder == folder;
  });
  if (gone == records.end()) return false;
  records.erase(gone, records.end());
  Save(records);
  return true;
}

bool GameLibrary::MarkPlayed(const std::string& folder, int64_t when) {
  const std::string listed = ListedForm(folder);
  std::vector<Record> records = Load();
  for (Record& r : records) {
    if (r.folder != listed) continue;
    r.lastPlayed = when;
    const GameFolderInfo info = InspectGameFolder(*files_, listed, codePage_);
    if (info.isGame) r.caption = info.captionUtf8;
    Save(records);
    return true;
  }
  return false;
}

}  // namespace velmora
