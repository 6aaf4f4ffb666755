// Start-up and shutdown: every outcome checked against the log, line by line, and what
// the shutdown writes.
#include "run/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "audio/music_player.h"
#include "plugins/plugin_host.h"
#include "base/main_window_state.h"
#include "support/game_folder_fixture.h"
#include "story/page_state.h"

namespace velmora {
namespace {

using testing::CurrentDirectory;
using testing::TestGame;
using testing::Undated;
using testing::UndatedFile;
using Lines = std::vector<std::string>;

class StartupTest : public ::testing::Test {
 protected:
  // A complete game folder; tests take parts away or change them.
  void WriteGame() {
    game.dir.Write("config.ini",
                   "; window\r\n[GameForm]\r\nCaption=Test Game\r\nLeft=0x10\r\nTop=16px\r\nHeight=600\r\n"
                   "Width=800\r\nWordWrap=0\r\n[Font]\r\nName=Arial\r\nSize=12\r\n[Files]\r\n"
                   "StoryFile=\"My Story.qst\"\r\n[Start]\r\nStartPage=start\r\n");
    game.dir.Write("my story.QST",
                   "[WriterList]\r\nCount=4\r\nPage0=start\r\nPage1=plain\r\nPage2=ghost\r\n"
                   "[start]\r\nTextSize=2\r\nLine0=Hello\r\nLine1=World\r\nQuestPicture=start.png\r\n"
                   "[plain]\r\ntextsize=1\r\nLine0=x\r\nQuestPicture=missing.png\r\n");
    game.dir.Write("music.lst", "[WriterList]\r\nCount=0\r\n");
    game.dir.Write("Scripts/messages.ini", "[Messages]\r\n");
    game.dir.Write("Scripts/intro.scr", "12345");
    game.dir.Write("Scripts/notes.txt", "not listed");
    game.dir.Write("Images/Start.PNG", "");
  }
  StartupResult Start() {
    Game& g = game.Make(args);
    return StartGame(g);
  }
  Lines Log() { return Undated(game.game().log.Lines()); }
  // The log from "Initializing..." on: plug-in loading comes before it.
  Lines LogFromInitializing() {
    Lines all = Log();
    auto it = std::find(all.begin(), all.end(), " | Initializing...");
    return Lines(it, all.end());
  }
  bool LogFileSaved() { return std::filesystem::exists(cwd.dir.path() / "LastStart.log"); }

  CurrentDirectory cwd;
  TestGame game;
  std::vector<std::string> args;
};

// Whether want's lines occur in lines in this order (others may stand between them).
::testing::AssertionResult InOrder(const Lines& lines, const Lines& want) {
  auto at = lines.begin();
  for (const auto& w : want) {
    at = std::find(at, lines.end(), w);
    if (at == lines.end()) return ::testing::AssertionFailure() << "missing or out of order: \"" << w << '"';
    ++at;
  }
  return ::testing::AssertionSuccess();
}

// A contiguous run of lines from the first line equal to from, through the first equal to to.
Lines Between(const Lines& lines, const std::string& from, const std::string& to) {
  auto first = std::find(lines.begin(), lines.end(), from);
  auto last = std::find(first, lines.end(), to);
  return Lines(first, last == lines.end() ? last : last + 1);
}

TEST_F(StartupTest, CompleteStartUp) {
  WriteGame();
  ASSERT_EQ(Start(), StartupResult::kCompleted);
  const std::string folder = game.folder();
  const Lines log = Log();
  EXPECT_TRUE(InOrder(log, {" | Initializing...", " | Configuration file loaded!", " | Initializing story file",
                            " | Success!", " | Initializing tracklist...", " | Succsess!", " | Checking scripts...",
                            " | Directory: " + folder + "Scripts\\", " | File: intro.scr", " | Size: 5",
                            " | Total: 1 file(s) And 5 byte(s)", " | Checking sound files...",
                            " | Checking Pages...", " | Initializing done!", " | Loading Page: start"}));
  EXPECT_EQ(Between(log, " | Checking Pages...", " | Initializing done!"),
            (Lines {" | Checking Pages...", " | start ---Processing...", " | Picture ---ok!",
                    " | Total: 2 line(s) of text", " | plain ---Processing...", " | Warning: Picturefile  not found!",
                    " | Total: 1 line(s) of text", " | Warning:ghost ---not found!", " | Warning:nil ---not found!",
                    " | Initializing done!"}));
  EXPECT_TRUE(game.dialogs.shown.empty());
  EXPECT_FALSE(LogFileSaved());  // only the shutdown saves it

  const MainWindowState& window = *game.game().mainWindow;
  EXPECT_EQ(window.caption, "Test Game");
  EXPECT_EQ(window.left, 16);   // 0x10
  EXPECT_EQ(window.top, 100);   // "16px" is no integer
  EXPECT_EQ(window.height, 600);
  EXPECT_EQ(window.width, 800);
  EXPECT_FALSE(window.wordWrap);
  EXPECT_EQ(window.fontName, "Arial");
  EXPECT_EQ(window.fontSize, 12);
  EXPECT_EQ(game.game().storyFileName, "My Story.qst");
  EXPECT_EQ(game.game().musicListName, "music.lst");
}

TEST_F(StartupTest, ConfigWithoutKeysTakesTheDefaults) {
  game.dir.Write("config.ini", "; nothing set\r\n[GameForm]\r\n");
  game.dir.Write("story.qst", "");
  game.dir.Write("music.lst", "");
  game.dir.Write("Scripts/messages.ini", "");
  ASSERT_EQ(Start(), StartupResult::kCompleted);
  const MainWindowState& window = *game.game().mainWindow;
  EXPECT_EQ(window.caption, "Velmora Player v1.2");
  EXPECT_EQ((std::vector<int>{window.left, window.top, window.height, window.width}), (std::vector<int>{240, 100, 700, 980}));
  EXPECT_TRUE(window.wordWrap);
  EXPECT_EQ(window.fontName, "MS Sans Serif");
  EXPECT_EQ(window.fontSize, 10);
  EXPECT_TRUE(InOrder(Log(), {" | Checking Pages...", " | Initializing done!", " | Loading Page: gamestart"}));
}

TEST_F(StartupTest, EmptyFolderStopsAtTheConfiguration) {
  ASSERT_EQ(Start(), StartupResult::kStopped);
  const Lines expected = {" | Initializing...", " | Error:Confgiguration file not found!"};
  EXPECT_EQ(LogFromInitializing(), expected);
  EXPECT_EQ(game.game().startFailure, "Confgiguration file not found!");  // for the library to show
  // Saved in the current directory, not in the game folder, with everything gathered.
  ASSERT_TRUE(LogFileSaved());
  EXPECT_EQ(UndatedFile(cwd.dir.Read("LastStart.log")), Log());
  EXPECT_FALSE(std::filesystem::exists(game.dir.path() / "LastStart.log"));
}

TEST_F(StartupTest, MissingStoryFileNamesItsFullPath) {
  WriteGame();
  std::filesystem::remove(game.dir.path() / "my story.QST");
  ASSERT_EQ(Start(), StartupResult::kStopped);
  const Lines expected = {" | Initializing...", " | Configuration file loaded!", " | Initializing story file",
                          " | Error:Story file " + game.folder() + "My Story.qst not found!"};
  EXPECT_EQ(LogFromInitializing(), expected);
  EXPECT_EQ(game.game().startFailure, "Story file " + game.folder() + "My Story.qst not found!");
  EXPECT_EQ(UndatedFile(cwd.dir.Read("LastStart.log")), Log());
}

TEST_F(StartupTest, MissingTracklist) {
  WriteGame();
  std::filesystem::remove(game.dir.path() / "music.lst");
  ASSERT_EQ(Start(), StartupResult::kStopped);
  const Lines expected = {" | Initializing...",          " | Configuration file loaded!",
                          " | Initializing story file",  " | Success!",
                          " | Initializing tracklist...", " | Error:Tracklist " + game.folder() + "music.lst not found!"};
  EXPECT_EQ(LogFromInitializing(), expected);
  EXPECT_TRUE(LogFileSaved());
}

TEST_F(StartupTest, MissingMessagesShowsTheWarningBoxAndGoesOn) {
  WriteGame();
  std::filesystem::remove(game.dir.path() / "Scripts" / "messages.ini");
  std::filesystem::remove(game.dir.path() / "Scripts" / "intro.scr");
  ASSERT_EQ(Start(), StartupResult::kCompleted);
  EXPECT_EQ(game.dialogs.shown, Lines {"message: Warning! Messages.ini not found!"});
  EXPECT_TRUE(InOrder(Log(), {" | Checking scripts...", " | Directory: " + game.folder() + "Scripts\\",
                              " | Total: 0 file(s) And 0 byte(s)", " | Checking sound files...",
                              " | Initializing done!"}));
}

TEST_F(StartupTest, ScriptFolderListsEveryScrEntry) {
  WriteGame();
  std::filesystem::create_directory(game.dir.path() / "Scripts" / "Old.SCR");
  game.dir.Write("Scripts/intro.scrx", "not listed");
  ASSERT_EQ(Start(), StartupResult::kCompleted);
  const Lines listing = Between(Log(), " | Directory: " + game.folder() + "Scripts\\", " | Total: 2 file(s) And 5 byte(s)");
  ASSERT_EQ(listing.size(), 6u);
  Lines entries(listing.begin() + 1, listing.end() - 1);  // in the folder's own order
  if (entries[0] != " | File: intro.scr") std::swap_ranges(entries.begin(), entries.begin() + 2, entries.begin() + 2);
  EXPECT_EQ(entries, (Lines {" | File: intro.scr", " | Size: 5", " | File: Old.SCR", " | Size: 0"}));
}

TEST_F(StartupTest, FaultInsideTheSequenceShowsTheErrorAndSkipsTheRest) {
  WriteGame();
  game.dir.Write("config.ini", "[Start]\r\nStartPage=start\r\nStartMusic=theme\r\n[Files]\r\nStoryFile=my story.qst\r\n");
  game.dir.Write("Images/pic.xyz", "");
  game.dir.Write("my story.QST", "[start]\r\nTextSize=0\r\nQuestPicture=pic.xyz\r\n");
  ASSERT_EQ(Start(), StartupResult::kCompleted);  // the window still shows
  EXPECT_EQ(game.dialogs.shown, Lines {"error: Unknown picture file extension (.xyz)."});
  EXPECT_EQ(game.game().music->nextTrackName, "nil");  // the start music was never read
  EXPECT_FALSE(LogFileSaved());
}

TEST_F(StartupTest, AbsurdPageCountEndsSoonWithOneWarning) {
  WriteGame();
  game.dir.Write("my story.QST",
                 "[WriterList]\r\nCount=2000000000\r\nPage0=start\r\nPage123456=start\r\nPage-0=start\r\n"
                 "[start]\r\nTextSize=1\r\nLine0=x\r\n");
  game.dir.Write("music.lst", "[WriterList]\r\nCount=2000000000\r\n");
  ASSERT_EQ(Start(), StartupResult::kCompleted);
  const Lines pages = Between(Log(), " | Checking Pages...", " | Initializing done!");
  EXPECT_EQ(std::count(pages.begin(), pages.end(), " | Warning:nil ---not found!"), 10000);
  EXPECT_EQ(std::count(pages.begin(), pages.end(), " | start ---Processing..."), 2);  // both entries, once each
  EXPECT_EQ(pages[pages.size() - 2], " | Warning:Pages check: 1999989998 more entries of [WriterList] Count "
                                     "2000000000 have no Page key and were not checked");
}

struct WrongAudio : SilentAudioLibrary {
  uint32_t version = kVersion;
  bool initOk = true;
  uint32_t GetVersion() override { return version; }
  bool Init(int32_t, uint32_t, uint32_t) override { return initOk; }
};

TEST_F(StartupTest, AudioLibraryFailuresEndAtOnceWithoutALog) {
  WriteGame();
  WrongAudio audio;
  game.platform.audio = &audio;
  audio.version = 0x02030000 | 0x0204;  // only the high word counts
  ASSERT_EQ(Start(), StartupResult::kAudioFailed);
  audio.version = AudioLibrary::kVersion | 0x1234;
  audio.initOk = false;
  ASSERT_EQ(Start(), StartupResult::kAudioFailed);
  EXPECT_EQ(game.dialogs.shown, (Lines {"system: Not correct version of BASS.DLL", "system: Audio initialization error"}));
  EXPECT_EQ(game.game().startFailure, "Audio initialization error");
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(LogFileSaved());
}

TEST_F(StartupTest, ComponentListGetsTheFrontEndsWindowObjects) {
  WriteGame();
  int objects[4];
  Game& g = game.Make();
  g.windowObjects = {&objects[0], &objects[1], &objects[2], &objects[3]};
  ASSERT_EQ(StartGame(g), StartupResult::kCompleted);
  const TComponentList list = g.plugins->impl()->componentList;
  ASSERT_NE(list, nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i].component, &objects[i]);
}

TEST_F(StartupTest, Utf8StoryKeepsTypedTextInUtf8) {
  WriteGame();
  ASSERT_EQ(Start(), StartupResult::kCompleted);
  EXPECT_FALSE(game.game().codec.GameIsUtf8());
  game.dir.Write("my story.QST", "[start]\r\nLine0=\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n");
  ASSERT_EQ(Start(), StartupResult::kCompleted);
  EXPECT_TRUE(game.game().codec.GameIsUtf8());
}

// Shutdown.

struct RecordingAudio : SilentAudioLibrary {
  Lines calls;
  bool Stop() override {
    calls.push_back("Stop");
    return true;
  }
  bool StreamFree(uint32_t h) override {
    calls.push_back("StreamFree " + std::to_string(h));
    return true;
  }
  bool Free() override {
    calls.push_back("Free");
    return true;
  }
};

class ShutdownTest : public StartupTest {
 protected:
  Game& Started() {
    WriteGame();
    game.dir.Write("config.ini", "; kept\r\n[GameForm]\r\nLeft=1\r\nTop=2\r\n");
    game.dir.Write("story.qst", "[start]\r\nTextSize=0\r\n");
    game.platform.audio = &audio;
    Game& g = game.Make(args);
    EXPECT_EQ(StartGame(g), StartupResult::kCompleted);
    g.mainWindow->left = 12;
    g.mainWindow->top = -34;
    g.mainWindow->width = 919;
    g.page->currentPage = "cave";
    g.music->musicStream = 7;
    audio.calls.clear();
    return g;
  }
  RecordingAudio audio;
};

TEST_F(ShutdownTest, WritesPositionAndPageThenSavesTheLog) {
  Game& g = Started();
  ShutDownGame(g);
  EXPECT_EQ(audio.calls, (Lines {"Stop", "StreamFree 7", "Free"}));
  EXPECT_EQ(game.dir.Read("config.ini"), "; kept\r\n[GameForm]\r\nLeft=12\r\nTop=-34\r\n[GameLoad]\r\nPage=cave\r\n");
  ASSERT_TRUE(LogFileSaved());
  EXPECT_EQ(UndatedFile(cwd.dir.Read("LastStart.log")), Log());
  EXPECT_TRUE(game.dialogs.shown.empty());
}

TEST_F(ShutdownTest, DebugKeyOnlyForAFirstArgumentDebugInAnyCase) {
  const std::pair<Lines, bool> cases[] = {
      {{"DEBUG"}, true}, {{"Debug", "x"}, true}, {{"x", "debug"}, false}, {{"debugx"}, false}, {{}, false}};
  for (const auto& [arguments, written] : cases) {
    args = arguments;
    ShutDownGame(Started());
    const bool has = game.dir.Read("config.ini").find("[DEBUG]\r\nMEMO_WIDTH=917\r\n") != std::string::npos;
    EXPECT_EQ(has, written) << (arguments.empty() ? "no arguments" : arguments[0]);
  }
}

TEST_F(ShutdownTest, FailedWriteShowsTheErrorAndSkipsTheRest) {
  Game& g = Started();
  const std::string config = (game.dir.path() / "config.ini").string();
  ::chmod(config.c_str(), 0444);
  ShutDownGame(g);
  EXPECT_EQ(game.dialogs.shown, Lines {"error: Unable to write to " + g.config->Path() + "."});
  EXPECT_EQ(game.dir.Read("config.ini"), "; kept\r\n[GameForm]\r\nLeft=1\r\nTop=2\r\n");
  EXPECT_FALSE(LogFileSaved());
  EXPECT_EQ(audio.calls, (Lines {"Stop", "StreamFree 7", "Free"}));  // those came before
}

}  // namespace
}  // namespace velmora
