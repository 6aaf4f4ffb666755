// Saved games and going back, played by the program itself on small games.
//
// The property: for any replay, a detour inserted anywhere (save 1, other steps, load 1;
// or choose 1, back) leaves the rest of the run exactly as it was without the detour:
// the same transcript, the same log (past the detour) and the same game files at the end.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "audio/music_player.h"
#include "save/save_games.h"
#include "support/test_game.h"
#include "test_player.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

// A mono 16-bit WAV of silence lasting ms milliseconds (8 kHz), for music of known length.
std::string SilentWav(int ms) {
  const uint32_t frames = static_cast<uint32_t>(ms) * 8, data = frames * 2;
  std::string w;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) w.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    w.push_back(static_cast<char>(v));
    w.push_back(static_cast<char>(v >> 8));
  };
  w += "RIFF";
  u32(36 + data);
  w += "WAVEfmt ";
  u32(16);
  u16(1);
  u16(1);
  u32(8000);
  u32(16000);
  u16(2);
  u16(16);
  w += "data";
  u32(data);
  w.append(data, '\0');
  return w;
}

struct Played {
  Lines transcript;
  Lines log;    // LastStart.log without dates
  Files files;  // the game files at the end ("-" for one that is not there)
};

Lines SplitText(const std::string& text) {
  Lines lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

std::string Joined(const Lines& steps) {
  std::string text;
  for (const std::string& s : steps) text += s + "\n";
  return text;
}

class SavedGamesTest : public ::testing::Test {
 protected:
  SavedGamesTest() { data = work.path() / "data"; }

  // Lays a game out in a fresh folder; returns it.
  fs::path NewGame(const Files& game) {
    const fs::path folder = work.path() / ("game" + std::to_string(++games));
    for (const auto& [name, content] : game) {
      fs::create_directories((folder / name).parent_path());
      FILE* f = std::fopen((folder / name).c_str(), "wb");
      std::fwrite(content.data(), 1, content.size(), f);
      std::fclose(f);
    }
    return folder;
  }

  // Plays the steps on the game folder as `velmora-player --replay`, with its own data folder.
  Played Play(const fs::path& folder, const Lines& steps) {
    const std::string replay = folder.string() + ".replay";
    FILE* f = std::fopen(replay.c_str(), "wb");
    const std::string text = Joined(steps);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    const std::string command = "cd '" + folder.string() + "' && XDG_DATA_HOME='" + data.string() +
                                "' XDG_CONFIG_HOME='" + data.string() + "' '" + testing::TestPlayer() + "' --game . --replay '" +
                                replay + "' 2>&1 </dev/null";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
    Played run;
    run.transcript = SplitText(Masked(output, folder.string()));
    for (const std::string& line : SplitText(Masked(Read(folder / "LastStart.log"), folder.string())))
      run.log.push_back(line.size() > 21 ? line.substr(21) : line);
    for (const char* name : {"config.ini", "story.qst", "Scripts/inventory.sav"})
      run.files[name] = fs::exists(folder / name) ? Read(folder / name) : "-";
    return run;
  }

  // Plays each list of steps on a fresh copy of the game, several at a time: a run spends
  // most of its time waiting for its files to reach the disk.
  std::vector<Played> PlayAll(const Files& game, const std::vector<Lines>& runs) {
    std::vector<fs::path> folders;
    for (size_t i = 0; i < runs.size(); ++i) folders.push_back(NewGame(game));
    std::vector<Played> played(runs.size());
    constexpr size_t kAtOnce = 8;
    for (size_t first = 0; first < runs.size(); first += kAtOnce) {
      std::vector<std::future<Played>> running;
      for (size_t i = first; i < std::min(first + kAtOnce, runs.size()); ++i)
        running.push_back(std::async(std::launch::async, [&, i] { return Play(folders[i], runs[i]); }));
      for (size_t i = 0; i < running.size(); ++i) played[first + i] = running[i].get();
    }
    return played;
  }

  // Runs play in folders of their own; the folder's name is not what they are compared on.
  static std::string Masked(std::string text, const std::string& folder) {
    for (size_t at; (at = text.find(folder)) != std::string::npos;) text.replace(at, folder.size(), "GAME");
    return text;
  }

  static std::string Read(const fs::path& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      char buffer[4096];
      for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
      std::fclose(f);
    }
    return bytes;
  }

  testing::TempDir work;
  fs::path data;
  int games = 0;
};

// The lines of `with` without [from, to], both found as exact lines (to after from).
Lines Without(const Lines& with, size_t from, const std::string& to) {
  size_t end = from;
  while (end < with.size() && with[end] != to) ++end;
  Lines rest(with.begin(), with.begin() + static_cast<std::ptrdiff_t>(from));
  if (end < with.size()) rest.insert(rest.end(), with.begin() + static_cast<std::ptrdiff_t>(end) + 1, with.end());
  return rest;
}

size_t IndexOf(const Lines& lines, const std::string& line) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == line) return i;
  return lines.size();
}

// What the n-th step `step` (from 0) printed.
Lines Printed(const Lines& transcript, const std::string& step, int n) {
  Lines printed;
  for (size_t i = 0; i < transcript.size(); ++i) {
    if (transcript[i] != "> " + step || n-- != 0) continue;
    for (size_t k = i + 1; k < transcript.size() && transcript[k].rfind("> ", 0) != 0; ++k)
      printed.push_back(transcript[k]);
    break;
  }
  return printed;
}

// What the n-th `show` (from 0) printed: caption, picture, "text:", the text lines, choices.
Lines Shown(const Lines& transcript, int n) {
  Lines shown = Printed(transcript, "show", n);
  shown.resize(std::max<size_t>(shown.size(), 4));
  return shown;
}

// The transcript line that echoes step number n (from 0) of the replay's steps. (Windows
// print lines that start like an echo too: the selected inventory entry.)
size_t EchoOfStep(const Lines& transcript, const Lines& steps, size_t n) {
  size_t k = 0;
  for (size_t i = 0; i < transcript.size(); ++i) {
    if (transcript[i] != "> " + steps[k]) continue;
    if (k++ == n) return i;
  }
  return transcript.size();
}

struct SmallGame {
  const char* name;
  Files files;
  Lines steps;
};

std::vector<SmallGame> SmallGames() {
  auto config = [](const std::string& caption, const std::string& start = "") {
    return "[Start]\nStartPage=start\n" + start + "[Sound]\nVolume=70\n[GameForm]\nCaption=" + caption + "\n";
  };
  return {
      {"variables and sets",
       {{"config.ini", config("Vars")},
        {"music.lst", ""},
        {"Scripts/Scripts.bsf",
         "___script add $int.new gold $int.add gold 5 $string.new hero $string.split hero x "
         "$str.set.find.add key $int.add gold 0 $goto start ___end\n"
         "___script roll $int.new r $int.random r 1000 $int.set.find.add r $int.set.remove 3 $goto start ___end\n"
         "___script check $string.set.find key $goto found $goto start ___end\n"
         "___script home .label again $int.add gold 1 .end $jump again $goto start ___end\n"},
        {"story.qst",
         "[start]\ntextsize=1\nLine0=Gold $_gold, hero $_hero, roll $_r\nActionsCount=3\n"
         "Action0.Script=add\nAction0.LinesCount=1\nAction0.Line0=Add\n"
         "Action1.Script=roll\nAction1.LinesCount=1\nAction1.Line0=Roll\n"
         "Action2.Script=check\nAction2.LinesCount=1\nAction2.Line0=Check\n"
         "[found]\ntextsize=1\nLine0=Found, gold $_gold\nActionsCount=1\n"
         "Action0.Script=home\nAction0.LinesCount=1\nAction0.Line0=Home\n"}},
       {"choose 1", "show", "choose 2", "show", "choose 1", "choose 3", "show", "choose 1", "show", "choose 2",
        "show", "history"}},
      {"the inventory",
       {{"config.ini", config("Items")},
        {"music.lst", ""},
        {"Scripts/Scripts.bsf",
         "___script take $inventory.add coin 3 $goto start ___end\n"
         "___script drop $inventory.remove coin 1 $goto start ___end\n"
         "___script key $inventory.add key 1 $goto start ___end\n"
         "___script usekey $int.new used $int.add used 1 $inventory.remove key 1 ___end\n"},
        {"Scripts/inventory.inv",
         "[Inventory]\nTotalItems=2\n[Item0]\nName=coin\nDisplayName=Coin\nMaxCount=10\nLinesCount=1\n"
         "Line0=A coin\n[Item1]\nName=key\nDisplayName=Key\nScript=usekey\nLinesCount=1\nLine0=A key\n"},
        {"story.qst",
         "[start]\ntextsize=1\nLine0=Coins $c_coin of $cm_coin, keys $c_key\nActionsCount=3\n"
         "Action0.Script=take\nAction0.LinesCount=1\nAction0.Line0=Take\n"
         "Action1.Script=drop\nAction1.LinesCount=1\nAction1.Line0=Drop\n"
         "Action2.Script=key\nAction2.LinesCount=1\nAction2.Line0=Key\n"}},
       {"choose 1", "show", "inventory", "inventory select 1", "inventory close", "choose 3", "choose 2", "show",
        "inventory", "inventory select 2", "inventory use", "inventory close", "show"}},
      {"choice states in the story file",
       {{"config.ini", config("States")},
        {"music.lst", ""},
        {"Scripts/Scripts.bsf",
         "___script open $action.SetState start 0 0 $action.SetState start 1 1 $goto start ___end\n"
         "___script go $goto hall ___end\n"
         "___script home $action.SetState start 0 1 $action.SetState start 1 0 $goto start ___end\n"},
        {"story.qst",
         "[start]\ntextsize=1\nLine0=A door.\nActionsCount=2\n"
         "Action0.Script=open\nAction0.Enabled=1\nAction0.LinesCount=1\nAction0.Line0=Open\n"
         "Action1.Script=go\nAction1.Enabled=0\nAction1.LinesCount=1\nAction1.Line0=Go through\n"
         "[hall]\ntextsize=1\nLine0=A hall.\nActionsCount=1\n"
         "Action0.Script=home\nAction0.Enabled=1\nAction0.LinesCount=1\nAction0.Line0=Back\n"}},
       {"show", "choose 1", "show", "choose 1", "show", "choose 1", "show", "choose 1", "show"}},
      {"a timed action still running",
       {{"config.ini", config("Timers")},
        {"music.lst", ""},
        {"Scripts/Scripts.bsf",
         "___script wait $goto tick ___end\n___script quiz $goto quiz ___end\n___script late $goto late ___end\n"
         "___script answer $goto start ___end\n"},
        {"story.qst",
         "[start]\ntextsize=1\nLine0=Start.\nActionsCount=2\n"
         "Action0.Script=wait\nAction0.LinesCount=1\nAction0.Line0=Wait\n"
         "Action1.Script=quiz\nAction1.LinesCount=1\nAction1.Line0=Quiz\n"
         "[tick]\ntextsize=1\nLine0=Tick...\nPage.Cutscene=1\nPage.Delay=1000\nPage.Action=$goto\nPage.Param=start\n"
         "ActionsCount=1\nAction0.Script=quiz\nAction0.LinesCount=1\nAction0.Line0=Quiz\n"
         "[quiz]\ntextsize=1\nLine0=Quick!\nPage.RequireFastAnswer=1\nPage.AnswerTime=1500\nPage.FastScript=late\n"
         "ActionsCount=1\nAction0.Script=answer\nAction0.LinesCount=1\nAction0.Line0=Answer\n"
         "[late]\ntextsize=1\nLine0=Too late.\n"}},
       {"choose 1", "wait 400", "show", "wait 400", "wait 400", "show", "choose 2", "wait 700", "show", "wait 1000",
        "show"}},
      {"the music chain in the middle of a track",
       {{"config.ini", config("Music", "StartMusic=a\n")},
        {"music.lst", "[a]\nTrack=a.wav\nNextTrack=b\n[b]\nTrack=b.wav\nNextTrack=nil\n"},
        {"Music/a.wav", SilentWav(1000)},
        {"Music/b.wav", SilentWav(1500)},
        {"Scripts/Scripts.bsf",
         "___script go $goto p2 ___end\n___script stop $player.stop $goto p3 ___end\n"
         "___script play $player.playtrack a $player.SetVolume 40 $goto p3 ___end\n"},
        {"story.qst",
         "[start]\ntextsize=1\nLine0=Listen.\nActionsCount=1\nAction0.Script=go\nAction0.LinesCount=1\n"
         "Action0.Line0=Go\n"
         "[p2]\ntextsize=1\nLine0=Soon.\nPage.Cutscene=1\nPage.Delay=500\nPage.Action=$goto\nPage.Param=p3\n"
         "[p3]\ntextsize=1\nLine0=Music.\nActionsCount=2\n"
         "Action0.Script=stop\nAction0.LinesCount=1\nAction0.Line0=Stop\n"
         "Action1.Script=play\nAction1.LinesCount=1\nAction1.Line0=Play\n"}},
       {"wait 600", "choose 1", "wait 300", "wait 300", "show", "wait 1000", "choose 1", "wait 700", "choose 2",
        "wait 500", "choose 1", "choose 2", "wait 2000", "show"}},
  };
}

// Steps that change everything a save holds: pages, timers, music, config.ini (the audio
// options' OK), the inventory window.
const Lines kDetour = {"choose 1", "wait 1500", "audio", "audio volume 20", "audio ok", "choose 2",
                       "inventory", "choose 1", "wait 300"};

TEST_F(SavedGamesTest, ADetourThroughASaveOrBackLeavesTheRestOfTheRunAsItWas) {
  for (const SmallGame& game : SmallGames()) {
    SCOPED_TRACE(game.name);
    const Played base = Play(NewGame(game.files), game.steps);
    ASSERT_GT(base.transcript.size(), game.steps.size());
    std::vector<Lines> saved, chosen;
    for (size_t at = 0; at <= game.steps.size(); ++at) {
      const auto split = game.steps.begin() + static_cast<std::ptrdiff_t>(at);
      Lines steps(game.steps.begin(), split);
      steps.push_back("save 1");
      steps.insert(steps.end(), kDetour.begin(), kDetour.end());
      steps.push_back("load 1");
      steps.insert(steps.end(), split, game.steps.end());
      saved.push_back(std::move(steps));
      steps.assign(game.steps.begin(), split);
      steps.push_back("choose 1");
      steps.push_back("back");
      steps.insert(steps.end(), split, game.steps.end());
      chosen.push_back(std::move(steps));
    }
    const std::vector<Played> detours = PlayAll(game.files, saved);
    const std::vector<Played> backs = PlayAll(game.files, chosen);

    for (size_t at = 0; at <= game.steps.size(); ++at) {
      SCOPED_TRACE("detour before step " + std::to_string(at + 1));
      const Played& detour = detours[at];
      EXPECT_EQ(Without(detour.transcript, IndexOf(detour.transcript, "> save 1"), "loaded: slot 1"), base.transcript);
      EXPECT_EQ(Without(detour.log, IndexOf(detour.log, " | Game saved: slot 1"), " | Game loaded: slot 1"), base.log);
      EXPECT_EQ(detour.files, base.files);

      const Played& back = backs[at];
      const size_t echo = EchoOfStep(back.transcript, chosen[at], at);
      ASSERT_LT(echo + 1, back.transcript.size());
      if (back.transcript[echo + 1].rfind("(there is no choice", 0) == 0) continue;  // nothing to choose here
      EXPECT_EQ(Without(back.transcript, echo, "back"), base.transcript);
      // The log past the way back is the base's own end, and what comes before it the base's beginning.
      const size_t wentBack = IndexOf(back.log, " | Went back before the last choice");
      ASSERT_LT(wentBack, back.log.size());
      const Lines tail(back.log.begin() + static_cast<std::ptrdiff_t>(wentBack) + 1, back.log.end());
      ASSERT_LE(tail.size(), base.log.size());
      const size_t head = base.log.size() - tail.size();
      EXPECT_TRUE(std::equal(tail.begin(), tail.end(), base.log.begin() + static_cast<std::ptrdiff_t>(head)));
      EXPECT_TRUE(std::equal(base.log.begin(), base.log.begin() + static_cast<std::ptrdiff_t>(head), back.log.begin()));
      EXPECT_EQ(back.files, base.files);
    }
  }
}

TEST_F(SavedGamesTest, ASaveLoadedAfterThePlayerWasClosedAndStartedAgainGoesOnExactly) {
  const SmallGame game = SmallGames()[4];  // music, timers and pages together
  const Played base = Play(NewGame(game.files), game.steps);
  for (size_t at : {2u, 5u, 8u}) {
    SCOPED_TRACE("saved before step " + std::to_string(at + 1));
    const fs::path folder = NewGame(game.files);
    Lines first(game.steps.begin(), game.steps.begin() + static_cast<std::ptrdiff_t>(at));
    first.push_back("save 1");
    first.push_back("choose 1");  // the run goes on past the save before it is closed
    first.push_back("wait 900");
    const Played closed = Play(folder, first);
    EXPECT_NE(IndexOf(closed.transcript, "saved: slot 1"), closed.transcript.size());
    Lines second = {"wait 2500", "load 1"};
    second.insert(second.end(), game.steps.begin() + static_cast<std::ptrdiff_t>(at), game.steps.end());
    const Played again = Play(folder, second);
    const size_t loaded = IndexOf(again.transcript, "loaded: slot 1");
    ASSERT_LT(loaded, again.transcript.size());
    const Lines rest(again.transcript.begin() + static_cast<std::ptrdiff_t>(loaded) + 1, again.transcript.end());
    const size_t echo = EchoOfStep(base.transcript, game.steps, at);
    EXPECT_EQ(rest, Lines(base.transcript.begin() + static_cast<std::ptrdiff_t>(echo), base.transcript.end()));
    const size_t logLoaded = IndexOf(again.log, " | Game loaded: slot 1");
    const Lines logRest(again.log.begin() + static_cast<std::ptrdiff_t>(logLoaded) + 1, again.log.end());
    ASSERT_LE(logRest.size(), base.log.size());
    EXPECT_TRUE(std::equal(logRest.begin(), logRest.end(), base.log.end() - static_cast<std::ptrdiff_t>(logRest.size())));
    EXPECT_EQ(again.files, base.files);
  }
}

TEST_F(SavedGamesTest, SavesThatCannotBeLoadedAreRefusedAndPlayGoesOn) {
  const SmallGame game = SmallGames()[0];
  const fs::path folder = NewGame(game.files);
  Play(folder, {"choose 1", "save 1", "save 2", "save 3"});
  fs::path saves;
  for (const auto& entry : fs::directory_iterator(data / "velmora-player" / "saves")) saves = entry.path();
  ASSERT_TRUE(fs::exists(saves / "slot-01.sav"));

  // Slot 1 damaged in the middle, slot 2 made by a newer player, slot 3 another game's.
  std::string bytes = Read(saves / "slot-01.sav");
  bytes[bytes.size() / 2] ^= 0x20;
  auto write = [](const fs::path& path, const std::string& content) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  };
  write(saves / "slot-01.sav", bytes);
  std::string newer = Read(saves / "slot-02.sav");
  newer[8] = 99;
  write(saves / "slot-02.sav", newer);
  Files other = game.files;
  other["config.ini"] = "[Start]\nStartPage=start\n[GameForm]\nCaption=Another\n";
  const fs::path otherFolder = NewGame(other);
  Play(otherFolder, {"save 4"});
  fs::path otherSaves;
  for (const auto& entry : fs::directory_iterator(data / "velmora-player" / "saves"))
    if (entry.path() != saves) otherSaves = entry.path();
  fs::copy_file(otherSaves / "slot-04.sav", saves / "slot-03.sav", fs::copy_options::overwrite_existing);
  write(saves / "slot-05.sav", "not a save at all");

  const Played run = Play(folder, {"choose 2", "show", "load 1", "load 2", "load 3", "load 5", "load 9", "back", "back",
                                "show"});
  const Lines& t = run.transcript;
  for (const char* line : {"cannot load slot 1: the save is damaged",
                           "cannot load slot 2: the save was made by a newer version of the player",
                           "cannot load slot 3: the save belongs to another game",
                           "cannot load slot 5: the file is not a saved game", "nothing to load: slot 9 is empty",
                           "back", "nothing to go back to"})
    EXPECT_NE(IndexOf(t, line), t.size()) << line;
  // Nothing was loaded in part: only the way back changed the window.
  EXPECT_EQ(Shown(t, 0)[3], "  | Gold $_gold, hero $_hero, roll 0");
  EXPECT_EQ(Shown(t, 1)[3], "  | Gold $_gold, hero $_hero, roll $_r");
}

TEST_F(SavedGamesTest, ASaveFromAnotherCopyOfTheGameIsImportedWholeOrNotAtAll) {
  const SmallGame game = SmallGames()[0];
  const fs::path first = NewGame(game.files);
  const Played made = Play(first, {"choose 1", "show", "save 1"});
  fs::path saved;
  for (const auto& entry : fs::recursive_directory_iterator(data / "velmora-player" / "saves"))
    if (entry.path().filename() == "slot-01.sav") saved = entry.path();
  ASSERT_FALSE(saved.empty());
  std::string damaged = Read(saved);
  damaged[damaged.size() / 2] ^= 0x20;
  const fs::path damagedFile = work.path() / "damaged.sav";
  FILE* f = std::fopen(damagedFile.c_str(), "wb");
  std::fwrite(damaged.data(), 1, damaged.size(), f);
  std::fclose(f);

  // Another copy: its own id, so the file copied in as it is would be another game's.
  const fs::path second = NewGame(game.files);
  const Played run = Play(second, {"import 2 " + saved.string(), "load 2", "show", "import 3 " + damagedFile.string(),
                                   "load 3", "import 4 " + (work.path() / "none.sav").string()});
  const Lines& t = run.transcript;
  for (const std::string& line : {std::string("imported: slot 2"), std::string("loaded: slot 2"),
                                  std::string("cannot import into slot 3: the save is damaged"),
                                  std::string("nothing to load: slot 3 is empty"),
                                  "cannot import into slot 4: cannot read " + (work.path() / "none.sav").string()})
    EXPECT_NE(IndexOf(t, line), t.size()) << line;
  EXPECT_EQ(Shown(t, 0), Shown(made.transcript, 0));
}

TEST_F(SavedGamesTest, BackGoesFurtherEachTimeAndSavesLiveOutsideTheGameFolder) {
  const SmallGame game = SmallGames()[0];
  const fs::path folder = NewGame(game.files);
  const Played run = Play(folder, {"choose 1", "choose 1", "choose 1", "show", "back", "back", "show", "back", "back",
                                "show", "save 7", "load 7"});
  EXPECT_EQ(Shown(run.transcript, 0)[3], "  | Gold 15, hero xxx, roll $_r");
  EXPECT_EQ(Shown(run.transcript, 1)[3], "  | Gold 5, hero x, roll $_r");
  EXPECT_EQ(Shown(run.transcript, 2)[3], "  | Gold $_gold, hero $_hero, roll $_r");
  for (const char* line : {"nothing to go back to", "saved: slot 7", "loaded: slot 7"})
    EXPECT_NE(IndexOf(run.transcript, line), run.transcript.size()) << line;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) EXPECT_NE(entry.path().extension(), ".sav");
}

// A save from a stranger whose file images would leave a game that cannot start, or whose
// music names a FIFO: refused whole, or loaded without waiting on the FIFO.
class StrangersSaves : public ::testing::Test {
 protected:
  StrangersSaves() {
    t.dir.Write("config.ini", "[GameForm]\nCaption=Strangers\n");
    t.dir.Write("story.qst", "[gamestart]\ntextsize=1\nLine0=Start.\n");
    ::setenv("XDG_DATA_HOME", (t.dir.path() / "data").c_str(), 1);
    game_ = &t.Make();
    saves_ = std::make_unique<SaveGames>(*game_);
  }
  testing::TestGame t;
  Game* game_ = nullptr;
  std::unique_ptr<SaveGames> saves_;
};

TEST_F(StrangersSaves, ImagesThatWouldStopTheGameAreRefusedWholeAndAFifoIsNeverOpened) {
  Game& game = *game_;
  SaveGames& saves = *saves_;
  const std::string story = t.dir.Read("story.qst"), config = t.dir.Read("config.ini");
  struct Row {
    const char* what;
    std::function<void(Snapshot&)> change;
    std::string says;
  };
  const Row rows[] = {
      {"story file absent", [](Snapshot& s) { for (FileImage& f : s.files) if (f.role == GameFileRole::kStory) f.present = false; },
       "cannot load slot 1: the game could not start again (its story file would be removed)"},
      {"binary config.ini",
       [&](Snapshot& s) {
         for (FileImage& f : s.files)
           if (f.role == GameFileRole::kConfig) f.bytes = std::make_shared<const std::string>(std::string("\0\x01MZ", 4));
       },
       "cannot load slot 1: the game could not start again (its config.ini would be binary)"},
      {"music a FIFO",
       [&](Snapshot& s) {
         const std::string fifo = (t.dir.path() / "pipe").string();
         ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
         s.music.state = AudioLibrary::kPlaying;
         s.music.file = fifo;
         s.soundDeviceOpen = true;
         s.soundFile = fifo;
       },
       "loaded: slot 1"},
  };
  for (const Row& row : rows) {
    auto snapshot = std::make_shared<Snapshot>(*CaptureSnapshot(game, saves.files()));
    row.change(*snapshot);
    SaveHeader header;
    header.gameId = saves.GameId();
    std::filesystem::create_directories(saves.Folder());
    t.dir.Write(std::filesystem::relative(saves.SlotPath(1), t.dir.path()).string(), EncodeSave(header, *snapshot));
    EXPECT_EQ(saves.Load(1).message, row.says) << row.what;
    EXPECT_EQ(t.dir.Read("story.qst"), story) << row.what;
    EXPECT_EQ(t.dir.Read("config.ini"), config) << row.what;
  }
  EXPECT_EQ(game.music->musicStream, 0u);
}

// The listing reads a slot's first bytes only, and loading refuses a file past the bound.
TEST_F(StrangersSaves, SlotsPastTheirBoundsAreListedAndRefusedWithoutReadingThemWhole) {
  Game& game = *game_;
  SaveGames& saves = *saves_;
  SaveHeader header;
  header.gameId = saves.GameId();
  std::filesystem::create_directories(saves.Folder());
  const auto snapshot = CaptureSnapshot(game, saves.files());
  const auto slotFile = [&](int slot) { return std::filesystem::relative(saves.SlotPath(slot), t.dir.path()).string(); };
  t.dir.Write(slotFile(2), EncodeSave(header, *snapshot));
  std::filesystem::resize_file(saves.SlotPath(2), kMaxSaveBytes + 1);  // sparse
  header.thumbnailPng = std::string(kMaxSaveHeadBytes, 'p');          // a header past the listing's glance
  t.dir.Write(slotFile(3), EncodeSave(header, *snapshot));

  const std::vector<SlotInfo> slots = saves.ListSlots();
  EXPECT_EQ(slots[2].status, SaveReadStatus::kOk);  // its header is whole
  EXPECT_EQ(slots[3].status, SaveReadStatus::kDamaged);
  EXPECT_EQ(saves.Load(2).message, "cannot load slot 2: the save is too large (more than 2048 MB)");
}

// What the n-th `history` (from 0) printed.
Lines History(const Lines& transcript, int n) { return Printed(transcript, "history", n); }

TEST_F(SavedGamesTest, TheStorySoFarGoesBackWithAChoiceAndComesBackWithASave) {
  const SmallGame game = SmallGames()[0];
  const Played run = Play(NewGame(game.files), {"history", "choose 1", "choose 3", "history", "back", "history",
                                                "save 2", "choose 2", "load 2", "history"});
  const Lines& t = run.transcript;
  EXPECT_EQ(History(t, 0), (Lines{"history:", "  1. start", "     | Gold $_gold, hero $_hero, roll $_r"}));
  const Lines afterCheck = {"history:",
                            "  1. start",
                            "     | Gold $_gold, hero $_hero, roll $_r",
                            "     > Add",
                            "  2. start",
                            "     | Gold 5, hero x, roll $_r",
                            "     > Check",
                            "  3. found",  // the check's script shows this page, then the start page
                            "     | Found, gold 5",
                            "  4. start",
                            "     | Gold 5, hero x, roll $_r"};
  EXPECT_EQ(History(t, 1), afterCheck);
  const Lines afterBack(afterCheck.begin(), afterCheck.begin() + 6);
  EXPECT_EQ(History(t, 2), afterBack) << "going back takes the choice and its page away";
  EXPECT_EQ(History(t, 3), afterBack) << "a save brings back its own story so far";
}

}  // namespace
}  // namespace velmora
