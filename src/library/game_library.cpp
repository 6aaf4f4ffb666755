#include "library/game_library.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>
#include <filesystem>
#include <system_error>

#include "base/codepage.h"
#include "base/fault.h"
#include "base/ini_document.h"
#include "base/text.h"
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

// What the library needs of a story file: whether its texts are UTF-8, and the start
// page's picture. Story files may be of any size, so this looks at their start only (a
// start page beyond it shows no picture) and keeps what it saw by the file's identity.
struct StoryGlance {
  bool utf8 = false;
  std::string picture = "nil";
};

std::string TrimmedValue(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.remove_suffix(1);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return std::string(v.substr(0, IniDocument::kMaxValueLength));
}

StoryGlance GlanceAtStory(std::string_view head, const std::string& startPage) {
  StoryGlance glance;
  // A multi-byte character cut at the end of the glance is no fault of the file.
  std::string_view whole = head;
  for (size_t cut = 0; cut < 3 && !whole.empty() && (static_cast<unsigned char>(whole.back()) & 0xC0) == 0x80; ++cut)
    whole.remove_suffix(1);
  if (!whole.empty() && static_cast<unsigned char>(whole.back()) >= 0xC0) whole.remove_suffix(1);
  glance.utf8 = TextCodec::HasHighBytes(whole) && TextCodec::IsValidUtf8(whole);
  bool inStart = false;
  for (size_t at = 0; at < head.size();) {
    size_t end = head.find('\n', at);
    if (end == std::string_view::npos) end = head.size();
    std::string_view line = head.substr(at, end - at);
    at = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty() && line.front() == '[') {
      const size_t close = line.find(']');
      inStart = close != std::string_view::npos && SameCommand(line.substr(1, close - 1), startPage);
      continue;
    }
    const size_t eq = line.find('=');
    if (!inStart || eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    if (SameCommand(key, "QuestPicture")) {
      glance.picture = TrimmedValue(line.substr(eq + 1));
      break;
    }
  }
  return glance;
}

constexpr size_t kStoryGlanceBytes = 256 * 1024;

StoryGlance GlanceAtStoryFile(GameFiles& files, const std::string& path, const std::string& startPage) {
  static std::mutex mutex;
  static std::map<std::tuple<uint64_t, uint64_t, uint64_t, int64_t, std::string>, StoryGlance> seen;
  const FileIdentity id = files.Identity(path);
  const auto key = std::make_tuple(id.device, id.inode, id.size, id.mtimeNs, startPage);
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (id.regular && seen.count(key)) return seen[key];
  }
  const FileRead head = files.ReadHead(path, kStoryGlanceBytes);
  if (head.status != FileRead::Status::kRead) return {};
  const StoryGlance glance = GlanceAtStory(head.bytes, startPage);
  std::lock_guard<std::mutex> lock(mutex);
  if (seen.size() >= 1024) seen.clear();
  seen[key] = glance;
  return glance;
}

}  // namespace

GameFolderInfo InspectGameFolder(GameFiles& files, const std::string& folder, const std::string& codePage) {
  GameFolderInfo info;
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  std::error_code ec;
  if (!fs::is_directory(base, ec)) {
    info.problem = "no folder at " + folder;
    info.lack = GameFolderInfo::Lack::kFolder;
    return info;
  }
  if (!files.FileExists(base + "config.ini")) {
    info.problem = "no config.ini in " + folder;
    info.lack = GameFolderInfo::Lack::kConfig;
    return info;
  }
  const IniDocument config(files, files.Resolve(base + "config.ini"));
  const std::string storyName = config.ReadText("Files", "StoryFile", "story.qst");
  if (!files.FileExists(base + storyName)) {
    info.problem = "no story file " + storyName + " in " + folder;
    info.lack = GameFolderInfo::Lack::kStoryFile;
    info.missingFile = storyName;
    return info;
  }
  info.isGame = true;

  const std::string startPage = config.ReadText("Start", "StartPage", "gamestart");
  const StoryGlance story = GlanceAtStoryFile(files, files.Resolve(base + storyName), startPage);
  TextCodec codec(codePage);
  codec.SetGameIsUtf8(story.utf8);
  const std::string caption = config.ReadText("GameForm", "Caption", "");
  info.captionUtf8 = caption.empty() ? FolderName(base) : codec.ToUtf8(caption);

  const std::string& picture = story.picture;
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
  const IniDocument ini(*files_, path_, kMaxOwnFileBytes);
  if (ini.TooLarge()) throw RuntimeFault(OwnFileTooLarge(path_));
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
    r.autoSave = ini.ReadText(section, "AutoSave", "");
    r.startFailure = ini.ReadText(section, "StartFailure", "");
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
    if (!r.autoSave.empty()) text += "AutoSave=" + Quoted(r.autoSave) + "\n";
    if (!r.startFailure.empty()) text += "StartFailure=" + Quoted(OneLine(r.startFailure)) + "\n";
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
    if (!r.autoSave.empty() && files_->FileExists(r.autoSave)) e.autoSave = r.autoSave;
    e.startFailure = r.startFailure;
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
  records.push_back({listed, info.captionUtf8, 0, {}, {}});
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

bool GameLibrary::Change(const std::string& folder, const std::function<void(Record&)>& change) {
  const std::string listed = ListedForm(folder);
  std::vector<Record> records = Load();
  for (Record& r : records) {
    if (r.folder != listed) continue;
    const Record before = r;
    change(r);
    if (!(r == before)) Save(records);
    return true;
  }
  return false;
}

bool GameLibrary::MarkPlayed(const std::string& folder, int64_t when) {
  return Change(folder, [&](Record& r) {
    r.lastPlayed = when;
    const GameFolderInfo info = InspectGameFolder(*files_, r.folder, codePage_);
    if (info.isGame) r.caption = info.captionUtf8;
  });
}

bool GameLibrary::SetAutoSave(const std::string& folder, const std::string& saveFile) {
  if (!FitsAValue(saveFile)) return false;
  return Change(folder, [&](Record& r) { r.autoSave = saveFile; });
}

bool GameLibrary::SetStartFailure(const std::string& folder, const std::string& failure) {
  const std::string text = TextCodec::IsValidUtf8(failure) ? failure : TextCodec(codePage_).ToUtf8(failure);
  return Change(folder, [&](Record& r) { r.startFailure = OneLine(text); });
}

void GameLibrary::AddOnFirstRun(const std::vector<std::string>& folders) {
  if (files_->FileExists(path_)) return;
  std::vector<Record> records;
  for (const std::string& folder : folders) {
    const std::string listed = ListedForm(folder);
    const GameFolderInfo info = InspectGameFolder(*files_, listed, codePage_);
    if (info.isGame && FitsAValue(listed)) records.push_back({listed, info.captionUtf8, 0, {}, {}});
  }
  // Written even when none was added: the first run is over.
  Save(records);
}

}  // namespace velmora
