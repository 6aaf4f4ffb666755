// Game folders come from strangers. One row per way a hostile folder can reach outside it
// or exhaust the player; each is played as a replay by the program itself and must end by
// itself in bounded time and memory, with a clear message, and change nothing outside.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>

#include "support/test_game.h"
#include "test_player.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Every file below a folder with its bytes (links as "-> target").
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string key = fs::relative(it->path(), root).string();
    if (it->is_symlink()) {
      out[key] = "-> " + fs::read_symlink(it->path()).string();
    } else if (it->is_regular_file()) {
      std::ifstream in(it->path(), std::ios::binary);
      out[key] = std::string(std::istreambuf_iterator<char>(in), {});
    } else {
      out[key] = "(folder)";
    }
  }
  return out;
}

struct Hostile {
  testing::TempDir& game;
  testing::TempDir& outside;
  std::string Outside(const std::string& name) const { return (outside.path() / name).string(); }
  void Link(const std::string& target, const std::string& name) const {
    fs::create_directories((game.path() / name).parent_path());
    fs::remove_all(game.path() / name);
    fs::create_symlink(target, game.path() / name);
  }
  void Script(const std::string& body) const { game.Write("Scripts/Scripts.bsf", "___script go " + body + " ___end\n"); }
};

struct HostileCase {
  const char* way;
  std::function<void(const Hostile&)> arrange;
  std::string says;  // in the transcript or LastStart.log; empty when the write simply lands inside
  bool startedOutside = false;  // started from the outside folder (as from home), not the game's
};

std::string Repeat(const std::string& unit, int times) {
  std::string out;
  out.reserve(unit.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) out += unit;
  return out;
}

// An inventory file of this many items, each at most once, with room for a large count.
std::string Items(int count) {
  std::string out = "[Inventory]\r\nTotalItems=" + std::to_string(count) + "\r\n";
  for (int i = 0; i < count; ++i)
    out += "[Item" + std::to_string(i) + "]\r\nName=i" + std::to_string(i) + "\r\nMaxCount=2000000000\r\n";
  return out;
}

// A second of a square tone: 8 kHz, 16-bit mono PCM in a WAV file.
std::string Wave(uint32_t samples) {
  auto le = [](uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
    return out;
  };
  std::string data;
  for (uint32_t i = 0; i < samples; ++i) data += le((i / 20) % 2 ? 3000 : static_cast<uint16_t>(-3000), 2);
  return "RIFF" + le(36 + static_cast<uint32_t>(data.size()), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
         le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(static_cast<uint32_t>(data.size()), 4) + data;
}

const HostileCase kCases[] = {
    {"config.ini a link to a file outside",
     [](const Hostile& h) { h.Link(h.Outside("notes.ini"), "config.ini"); }, ""},
    {"Scripts a link to a folder outside",
     [](const Hostile& h) {
       h.outside.Write("scripts/Scripts.bsf", "___script go $inventory.add coin 1 ___end\n");
       h.Link(h.Outside("scripts"), "Scripts");
     },
     "error: Unable to write to "},
    {"Scripts/inventory.sav a link to a file outside",
     [](const Hostile& h) {
       h.Link(h.Outside("notes.ini"), "Scripts/inventory.sav");
       h.Script("$inventory.add coin 1");
     },
     ""},
    {"the story file outside the game folder",
     [](const Hostile& h) {
       h.outside.Write("story.qst", "[gamestart]\r\nActionsCount=1\r\nAction0.Script=go\r\nAction0.LinesCount=1\r\n"
                                    "Action0.Line0=Go\r\n");
       h.game.Write("config.ini", "[Files]\r\nStoryFile=..\\" + h.outside.path().filename().string() + "\\story.qst\r\n");
       h.Script("$action.SetState gamestart 0 0");
     },
     "story.qst is outside the game folder!"},
    {"a line break in a name that is written",
     [](const Hostile& h) { h.Script("$goto \"gamestart\r\n[Start]\r\nStartPage=evil\""); },
     "error: Unable to write to "},
    {"LastStart.log a link to a file outside",
     [](const Hostile& h) { h.Link(h.Outside("notes.ini"), "LastStart.log"); }, ""},
    {"a FIFO read as text",
     [](const Hostile& h) {
       ASSERT_EQ(::mkfifo((h.game.path() / "pipe").c_str(), 0644), 0);
       h.Script("$form.LoadTextFromFile pipe");
     },
     ". It is not a regular file."},
    {"/dev/zero read as text", [](const Hostile& h) { h.Script("$form.LoadTextFromFile /dev/zero"); },
     "error: Cannot open file \"/dev/zero\". It is not a regular file."},
    {"a picture that is a link to /dev/zero",
     [](const Hostile& h) {
       h.Link("/dev/zero", "zero.png");
       h.Script("$form.SetPic zero.png");
     },
     ". It is not a regular file."},
    {"10,000 items of 10,000 description lines each",
     [](const Hostile& h) {
       h.game.Write("Scripts/inventory.inv",
                    "[Inventory]\r\nTotalItems=10000\r\n" + [] {
                      std::string items;
                      for (int i = 0; i < 10000; ++i)
                        items += "[Item" + std::to_string(i) + "]\r\nName=i" + std::to_string(i) + "\r\nLinesCount=10000\r\n";
                      return items;
                    }());
     },
     "description lines and was not loaded."},
    {"a page of 10,000 choices of 10,000 lines each",
     [](const Hostile& h) {
       std::string page = "[big]\r\nActionsCount=10000\r\n";
       for (int i = 0; i < 10000; ++i) page += "Action" + std::to_string(i) + ".LinesCount=10000\r\n";
       h.game.Write("story.qst", h.game.Read("story.qst") + page);
       h.Script("$goto big");
     },
     "error: Page big is too large: its text and choices declare more than 1000000 lines."},
    {"a script library of 100 MB of one-letter words",
     [](const Hostile& h) { h.game.Write("Scripts/Scripts.bsf", Repeat("a ", 50'000'000)); },
     "words and was not loaded."},
    {"a loop that logs \"Variable j not found\" without end",
     [](const Hostile& h) { h.Script("$int.new i $while $int.smallerthan i 1 $int.add j 1"); },
     "error: Script stopped: it did more work than one script run may"},
    {"a loop that grows a set without end",
     [](const Hostile& h) {
       h.game.Write("Scripts/Scripts.bsf",
                    "___script go $int.new i $while $int.smallerthan i 2147483647 $run grow ___end\n"
                    "___script grow $int.set.find.add i $int.add i 1 $int.add i 1 ___end\n");
     },
     "error: Too many variables and set elements: they hold more than 256 MB."},
    {"a loop that reads a 1 MB text file without end",
     [](const Hostile& h) {
       h.game.Write("big.txt", Repeat("line of text\r\n", 80'000));
       h.Script("$int.new i $while $int.smallerthan i 1 $form.LoadTextFromFile big.txt");
     },
     "error: Script stopped: it did more work than one script run may"},
    {"a flood of message boxes",
     [](const Hostile& h) { h.Script("$int.new i $while $int.smallerthan i 1 $showmessage hi"); },
     "error: Script stopped: it did more work than one script run may"},
    {"a 150,000-item inventory",
     [](const Hostile& h) { h.game.Write("Scripts/inventory.inv", Items(150'000)); },
     "items and was not loaded."},
    {"adding to the last item of a 20,000-item inventory without end",
     [](const Hostile& h) {
       h.game.Write("Scripts/inventory.inv", Items(20'000));
       h.Script("$int.new i $while $int.smallerthan i 1 $inventory.add i19999 1");
     },
     "error: Script stopped: it did more work than one script run may"},
    {"adding to an item without end",
     [](const Hostile& h) { h.Script("$int.new i $while $int.smallerthan i 1 $inventory.add coin 1"); },
     "error: Script stopped: it did more work than one script run may"},
    {"choices' states set without end",
     [](const Hostile& h) { h.Script("$int.new i $while $int.smallerthan i 1 $action.SetState gamestart 0 1"); },
     "error: Script stopped: it did more work than one script run may"},
    {"a small text file loaded without end",
     [](const Hostile& h) {
       h.game.Write("small.txt", "line of text\r\n");
       h.Script("$int.new i $while $int.smallerthan i 1 $form.LoadTextFromFile small.txt");
     },
     "error: Script stopped: it did more work than one script run may"},
    {"a track played without end",
     [](const Hostile& h) {
       h.game.Write("Music/tone.wav", Wave(8000));
       h.game.Write("music.lst", "[tone]\r\nTrack=tone.wav\r\n");
       h.Script("$int.new i $while $int.smallerthan i 1 $player.playtrack tone");
     },
     "error: Script stopped: it did more work than one script run may"},
    {"the story file in the folder the player was started from",
     [](const Hostile& h) {
       h.game.Write("config.ini", "[Files]\r\nStoryFile=..\\" + h.outside.path().filename().string() + "\\notes.ini\r\n");
       h.Script("$action.SetState a 0 0");
     },
     "notes.ini is outside the game folder!", true},
    {"the tracklist named out of the game folder through a subfolder",
     [](const Hostile& h) {
       h.game.Write("config.ini", "[Files]\r\nMusicList=Scripts/../../" + h.outside.path().filename().string() + "/notes.ini\r\n");
     },
     "notes.ini is outside the game folder!", true},
    {"a story file past 1 GB (sparse)",
     [](const Hostile& h) { fs::resize_file(h.game.path() / "story.qst", (uintmax_t{1} << 30) + 1); },
     "story.qst is too large!"},
    {"a config.ini past 1 GB (sparse)",
     [](const Hostile& h) { fs::resize_file(h.game.path() / "config.ini", (uintmax_t{1} << 30) + 1); },
     "Configuration file is too large!"},
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.way; }

class HostileFolder : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileFolder, NothingOutsideChangesAndTheRunEndsWithAClearMessage) {
  const HostileCase& c = GetParam();
  testing::TempDir game, outside, user;
  outside.Write("notes.ini", "[GameForm]\r\nCaption=Outside\r\n[a]\r\nk=1\r\n");
  game.Write("config.ini", "[GameForm]\r\nCaption=Hostile\r\n");
  game.Write("music.lst", "");
  game.Write("story.qst",
             "[gamestart]\r\ntextsize=1\r\nLine0=Start.\r\nActionsCount=1\r\nAction0.Script=go\r\n"
             "Action0.LinesCount=1\r\nAction0.Line0=Go\r\n");
  game.Write("Scripts/inventory.inv", "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=coin\r\nMaxCount=9\r\n");
  game.Write("Scripts/messages.ini", "[Messages]\r\n");
  game.Write("steps.replay", "choose 1\n");
  c.arrange(Hostile{game, outside});
  const auto before = Snapshot(outside.path());

  const std::string out = (user.path() / "out.txt").string();
  const std::string player = testing::TestPlayer();
  const auto start = Clock::now();
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    freopen(out.c_str(), "w", stdout);
    freopen(out.c_str(), "a", stderr);
    if (chdir((c.startedOutside ? outside : game).path().c_str()) != 0) _exit(127);
    setenv("XDG_CONFIG_HOME", (user.path() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (user.path() / "data").c_str(), 1);
    const std::string folder = c.startedOutside ? game.path().string() : ".", replay = (game.path() / "steps.replay").string();
    execl(player.c_str(), player.c_str(), "--game", folder.c_str(), "--replay", replay.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage {};
  pid_t done = 0;
  while ((done = wait4(pid, &status, WNOHANG, &usage)) == 0 && Clock::now() - start < std::chrono::seconds(30))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << c.way << ": still running after 30 s";
  }
  std::ifstream in(out), log((c.startedOutside ? outside : game).path() / "LastStart.log");
  const std::string transcript =
      std::string(std::istreambuf_iterator<char>(in), {}) + std::string(std::istreambuf_iterator<char>(log), {});
  EXPECT_TRUE(WIFEXITED(status)) << c.way << "\n" << transcript;
  EXPECT_LT(usage.ru_maxrss, 1L << 20) << c.way << ": kilobytes at most";
  auto after = Snapshot(outside.path());
  if (c.startedOutside) after.erase("LastStart.log");  // the one name a run may write where it was started
  EXPECT_EQ(after, before) << c.way;
  if (!c.says.empty()) {
    EXPECT_NE(transcript.find(c.says), std::string::npos) << c.way << "\n" << transcript;
  }
  // A link at a name the run writes was replaced by a file of its own.
  for (const char* name : {"config.ini", "Scripts/inventory.sav", "LastStart.log"})
    EXPECT_FALSE(fs::is_symlink(game.path() / name)) << c.way << ": " << name;
  EXPECT_EQ(game.Read("config.ini").find("StartPage=evil"), std::string::npos) << c.way;
}

std::string CaseName(const ::testing::TestParamInfo<HostileCase>& info) {
  std::string name;
  for (char ch : std::string(info.param.way)) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Program, HostileFolder, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
}  // namespace velmora
