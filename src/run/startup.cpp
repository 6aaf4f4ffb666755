// Start-up (the main window's creation) and shutdown (its destruction).
#include "velmora_version.h"
#include "run/startup.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "audio/audio_window_state.h"
#include "base/silent_platform.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "inventory/inventory.h"
#include "plugins/plugin_host.h"
#include "script/script_library.h"
#include "base/game.h"
#include "base/int_text.h"
#include "base/paths.h"
#include "base/main_window_state.h"
#include "base/text.h"
#include "story/page_loader.h"
#include "story/page_state.h"

namespace velmora {

namespace {

// Written to the current directory, not the game folder.
constexpr const char* kLogFile = "LastStart.log";

// A [WriterList] Count far beyond the Page keys present would list the same "nil" entry
// for hours and fill memory with log lines. Entries without a key are listed up to this
// many; the rest are summed up in one warning, while every present key is still checked.
constexpr int64_t kMaxListedMissingPages = 10000;

std::unique_ptr<IniDocument> OpenIfPresent(GameFiles& files, const std::string& path) {
  if (!files.FileExists(path)) return nullptr;
  return std::make_unique<IniDocument>(files, files.Resolve(path));
}

// A file start-up cannot go on without, below the game folder; false when it is missing,
// leads out of the folder or is past the bound of what is read.
bool OpenRequired(Game& game, std::unique_ptr<IniDocument>& doc, const std::string& name, const char* what,
                  const char* found) {
  const std::string path = game.gameFolder() + name;
  const std::string problem =
      GameFileProblem(game.files(), game.gameFolder(), game.files().Resolve(path), IniDocument::kMaxFileSize);
  if (!problem.empty()) {
    game.WriteLog(3, what + path + " " + problem + "!");
    return false;
  }
  doc = OpenIfPresent(game.files(), path);
  if (!doc) {
    game.WriteLog(3, what + path + " not found!");
    return false;
  }
  game.WriteLog(1, found);
  return true;
}

void ApplyWindowSettings(Game& game) {
  const IniDocument& config = *game.config;
  MainWindowState& window = *game.mainWindow;
  window.caption = config.ReadText("GameForm", "Caption", "Velmora Player v" VELMORA_VERSION);
  window.left = config.ReadInteger("GameForm", "Left", 240);
  window.top = config.ReadInteger("GameForm", "Top", 100);
  window.height = config.ReadInteger("GameForm", "Height", 700);
  window.width = config.ReadInteger("GameForm", "Width", 980);
  window.wordWrap = config.ReadBool("GameForm", "WordWrap", true);
  window.fontName = config.ReadText("Font", "Name", "MS Sans Serif");
  window.fontSize = config.ReadInteger("Font", "Size", 10);
  // The story text takes the window's font with it.
  window.Changed(MainWindowState::kCaption | MainWindowState::kGeometry | MainWindowState::kWordWrap | MainWindowState::kFont);
}

bool IsScriptFileName(std::string_view name) {
  return name.size() >= 4 && AsciiLower(name.substr(name.size() - 4)) == ".scr";
}

// The .scr files are only listed, never read. Folders count with size 0, as the folder
// listing of the system the games come from reports them.
void ListScriptFolder(Game& game) {
  const std::string folder = game.gameFolder() + "Scripts\\";
  game.WriteLog(1, "Directory: " + folder);
  int64_t count = 0, total = 0;
  const std::string resolved = game.files().Resolve(folder);
  std::vector<FolderEntry> entries;
  game.files().List(resolved, entries);
  for (const FolderEntry& e : entries) {
    if (!IsScriptFileName(e.name)) continue;
    const FileIdentity id = game.files().Identity(resolved + e.name);
    const int64_t size = id.regular ? static_cast<int64_t>(id.size) : 0;
    game.WriteLog(1, "File: " + e.name);
    game.WriteLog(1, "Size: " + IntToStr(size));
    ++count;
    total += size;
  }
  game.WriteLog(1, "Total: " + IntToStr(count) + " file(s) And " + IntToStr(total) + " byte(s)");
}

// The n below count of the keys Page<n> present in [WriterList], ascending. Only the
// form the check itself builds counts: "Page07" and "Page-0" are no entries.
std::vector<int64_t> PresentPageEntries(const IniDocument& story, int64_t count) {
  std::vector<int64_t> present;
  for (const std::string& key : story.KeyNames("WriterList")) {
    const std::optional<int64_t> n = NumberedName(key, "page");
    if (n && *n < count) present.push_back(*n);
  }
  std::sort(present.begin(), present.end());
  return present;
}

void CheckPage(Game& game, const std::string& section) {
  const IniDocument& story = *game.story;
  if (!story.SectionPresent(section)) {
    game.WriteLog(2, section + " ---not found!");
    return;
  }
  game.WriteLog(1, section + " ---Processing...");
  const std::string picture = story.ReadText(section, "QuestPicture", "nil");
  if (game.files().FileExists(game.gameFolder() + "\\Images\\" + picture)) {
    game.WriteLog(1, "Picture ---ok!");
  } else {
    game.WriteLog(2, " Picturefile  not found!");
  }
  game.WriteLog(1, "Total: " + IntToStr(story.ReadInteger(section, "TextSize", 0)) + " line(s) of text");
}

void CheckPages(Game& game) {
  game.WriteLog(1, "Checking Pages...");
  const IniDocument& story = *game.story;
  const int64_t count = story.ReadInteger("WriterList", "Count", 0);
  const std::vector<int64_t> present = PresentPageEntries(story, count);
  size_t nextPresent = 0;
  int64_t listedMissing = 0, skipped = 0;
  for (int64_t i = 0; i < count;) {
    if (nextPresent < present.size() && present[nextPresent] == i) {
      ++nextPresent;
    } else if (listedMissing == kMaxListedMissingPages) {
      // Every entry up to the next key reads "nil" and would log the same lines again.
      const int64_t to = nextPresent < present.size() ? present[nextPresent] : count;
      skipped += to - i;
      i = to;
      continue;
    } else {
      ++listedMissing;
    }
    CheckPage(game, story.ReadText("WriterList", "Page" + IntToStr(i), "nil"));
    ++i;
  }
  if (skipped > 0)
    game.WriteLog(2, "Pages check: " + IntToStr(skipped) + " more entries of [WriterList] Count " + IntToStr(count) +
                         " have no Page key and were not checked");
}

// The initialisation sequence; false when start-up stops (a required file is missing).
bool Initialize(Game& game) {
  const std::string& folder = game.gameFolder();
  game.WriteLog(1, "Initializing...");
  const std::string configProblem = GameFileProblem(game.files(), folder, game.files().Resolve(folder + "config.ini"),
                                                    IniDocument::kMaxFileSize);
  if (!configProblem.empty()) {
    game.WriteLog(3, "Configuration file " + configProblem + "!");
    return false;
  }
  game.config = OpenIfPresent(game.files(), folder + "config.ini");
  if (!game.config) {
    game.WriteLog(3, "Confgiguration file not found!");
    return false;
  }
  game.WriteLog(1, "Configuration file loaded!");
  ApplyWindowSettings(game);
  game.musicListName = game.config->ReadText("Files", "MusicList", "music.lst");
  game.storyFileName = game.config->ReadText("Files", "StoryFile", "story.qst");

  game.WriteLog(1, "Initializing story file");
  if (!OpenRequired(game, game.story, game.storyFileName, "Story file ", "Success!")) return false;
  // Text the player types is kept in the story's own encoding.
  if (game.story->HoldsUtf8Text()) game.codec.SetGameIsUtf8(true);

  game.WriteLog(1, "Initializing tracklist...");
  if (!OpenRequired(game, game.tracklist, game.musicListName, "Tracklist ", "Succsess!")) return false;

  game.WriteLog(1, "Checking scripts...");
  LoadScriptLibrary(game);
  ListScriptFolder(game);

  game.messages = OpenIfPresent(game.files(), folder + "\\Scripts\\messages.ini");
  if (!game.messages) game.dialogs().ShowMessage("Warning! Messages.ini not found!");

  game.WriteLog(1, "Checking sound files...");
  CheckTracklist(game);
  CheckPages(game);
  game.WriteLog(1, "Initializing done!");
  LoadPage(game, game.config->ReadText("Start", "StartPage", "gamestart"));
  return true;
}

}  // namespace

StartupResult StartGame(Game& game) {
  AudioLibrary& audio = MusicLibrary(game);
  game.startFailure.clear();
  const auto audioFailed = [&game](const char* error) {
    game.startFailure = error;
    game.dialogs().ShowSystemError(error);
    return StartupResult::kAudioFailed;
  };
  if ((audio.GetVersion() >> 16) != (AudioLibrary::kVersion >> 16)) return audioFailed("Not correct version of BASS.DLL");
  if (!audio.Init(-1, 44100, 0)) return audioFailed("Audio initialization error");
  // What an earlier run left when it ended between writing a file and putting it in place.
  for (const std::string& folder : {game.gameFolder(), game.files().Resolve(game.gameFolder() + "Scripts"), std::string(".")})
    game.files().RemoveStaleTemporaries(folder);
  // The log exists from here on; a fault anywhere below shows the error dialog, skips the
  // rest of the sequence and leaves the window to show what was loaded.
  bool stopped = false;
  game.RunEvent([&] {
    const auto& w = game.windowObjects;
    BuildComponentList(game, w[0], w[1], w[2], w[3]);
    LoadPlugins(game);
    if (!Initialize(game)) {
      stopped = true;
      return;
    }
    StartMusic(game);
    LoadDefinitions(game);
  });
  if (!stopped) return StartupResult::kCompleted;
  // No page was shown and there may be no config.ini to write to: of the shutdown, only
  // releasing the audio library and saving the log (which says why) remain.
  audio.Stop();
  audio.Free();
  game.log.Save(game.files(), kLogFile);
  // A line is "date | time | Error:message"; only the stamp's bars count, not a name's.
  for (const std::string& line : game.log.Lines()) {
    static constexpr std::string_view kError = " | Error:";
    const size_t date = line.find(" | ");
    const size_t time = date == std::string::npos ? date : line.find(" | ", date + 3);
    if (time != std::string::npos && line.compare(time, kError.size(), kError) == 0) {
      game.startFailure = line.substr(time + kError.size());
      break;
    }
  }
  return StartupResult::kStopped;
}

void CreateToolWindows(Game& game) {
  game.RunEvent([&] { game.audioWindow->LoadSettings(game); });
}

void ShutDownGame(Game& game) {
  game.RunEvent([&] {
    AudioLibrary& audio = MusicLibrary(game);
    audio.Stop();
    audio.StreamFree(game.music->musicStream);
    audio.Free();
    CloseSoundPlayer(game);
    if (game.config) {
      IniDocument& config = *game.config;
      const MainWindowState& window = *game.mainWindow;
      config.WriteInteger("GameForm", "Left", window.left);
      config.WriteInteger("GameForm", "Top", window.top);
      config.WriteText("GameLoad", "Page", game.page->currentPage);
      const auto& args = game.options.args;
      if (!args.empty() && AsciiLower(args[0]) == "debug") config.WriteInteger("DEBUG", "MEMO_WIDTH", window.StoryTextWidth());
    }
    game.log.Save(game.files(), kLogFile);
  });
}

}  // namespace velmora
