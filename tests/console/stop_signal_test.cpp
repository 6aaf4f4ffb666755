// A logout, kill or Ctrl+C while the program plays: it must run the shutdown as the close
// box does (the page and window position into config.ini, LastStart.log) and end, with
// the sound device running (SDL would take SIGINT and SIGTERM for itself) and without,
// also while a script sleeps or waits for a box.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include "support/test_game.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

// Half a second of silence as 16-bit mono WAV: enough for the music chain to loop.
std::string SilentWav() {
  const uint32_t rate = 8000, bytes = rate;  // 0.5 s of 16-bit samples
  auto le = [](uint32_t v, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
    return out;
  };
  return "RIFF" + le(36 + bytes, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(rate, 4) + le(rate * 2, 4) +
         le(2, 2) + le(16, 2) + "data" + le(bytes, 4) + std::string(bytes, '\0');
}

// True once the process has its own handler for the signal (the program is past the
// point where the default action would kill it).
bool Catches(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) != 0) continue;
    return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
  }
  return false;
}

// Waits until the process has used (almost) no CPU for a few samples in a row: past start-up and
// the first page, inside the page action's long sleep, however slow the machine (a fixed
// wait was too short under the sanitizers on a loaded machine).
void WaitUntilIdle(pid_t pid) {
  const auto cpuTime = [pid] {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int k = 3; k <= 15 && fields >> field; ++k) {
      if (k == 14) utime = std::stoull(field);
      if (k == 15) stime = std::stoull(field);
    }
    return utime + stime;
  };
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  unsigned long long last = cpuTime();
  for (int quiet = 0; quiet < 5 && Clock::now() < deadline;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const unsigned long long now = cpuTime();
    quiet = now - last <= 1 ? quiet + 1 : 0;  // a tick: a sound thread may run on
    last = now;
  }
}

struct SignalCase {
  const char* what;
  std::vector<std::string> args;
  int signal;
  // What the start page's action runs, and a line of the log that shows it ran.
  std::string script = "$sleep 600000";
  std::string logged = "Sleeping 600000 ms...";
};
void PrintTo(const SignalCase& c, std::ostream* os) { *os << c.what; }

class StopSignalTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(StopSignalTest, RunsTheShutdownAndEnds) {
  const SignalCase& c = GetParam();
  testing::TempDir game, user;
  game.Write("config.ini", "[GameForm]\nCaption=Signals\n[Start]\nStartMusic=tone\n");
  game.Write("music.lst", "[tone]\nTrack=tone.wav\nNextTrack=tone\n");
  game.Write("Music/tone.wav", SilentWav());
  game.Write("Scripts/messages.ini", "[Messages]\n");
  // The start page sleeps for ten minutes in its page action, or opens a box.
  game.Write("Scripts/Scripts.bsf", "___script nap " + c.script + " ___end\n");
  game.Write("story.qst",
             "[gamestart]\ntextsize=1\nLine0=Start.\nPage.Cutscene=1\nPage.Delay=50\nPage.Action=$run\n"
             "Page.Param=nap\n");

  int input[2];
  ASSERT_EQ(pipe(input), 0);  // kept open: the player waits for steps
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(input[0], STDIN_FILENO);
    close(input[1]);
    const std::string out = (user.path() / "out.txt").string();
    freopen(out.c_str(), "w", stdout);
    freopen(out.c_str(), "a", stderr);
    if (chdir(game.path().c_str()) != 0) _exit(127);
    setenv("XDG_CONFIG_HOME", (user.path() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (user.path() / "data").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<char*> argv = {const_cast<char*>(VELMORA_PLAYER), const_cast<char*>("--game"), const_cast<char*>(".")};
    for (const std::string& a : c.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VELMORA_PLAYER, argv.data());
    _exit(127);
  }
  close(input[0]);
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (!Catches(pid, c.signal) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  WaitUntilIdle(pid);  // into the page action's sleep
  ASSERT_EQ(kill(pid, c.signal), 0);
  const auto sent = Clock::now();
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() - sent < std::chrono::seconds(20))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  close(input[1]);
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << c.what << ": still running 20 s after the signal";
  }
  EXPECT_LT(Clock::now() - sent, std::chrono::seconds(3)) << c.what;
  EXPECT_TRUE(WIFEXITED(status)) << c.what << ": ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  const std::string config = game.Read("config.ini");
  const std::string log = game.Read("LastStart.log");
  // What the player printed and logged, to tell a slow start from a lost shutdown.
  const std::string seen = "\n--- output\n" + user.Read("out.txt") + "--- log\n" + log;
  EXPECT_NE(config.find("[GameLoad]"), std::string::npos) << c.what << ":\n" << config << seen;
  EXPECT_NE(config.find("Page=gamestart"), std::string::npos) << c.what << seen;
  EXPECT_NE(log.find(c.logged), std::string::npos) << c.what << seen;
}

INSTANTIATE_TEST_SUITE_P(
    Program, StopSignalTest,
    ::testing::Values(SignalCase{"terminal, sound on, SIGTERM", {"--text"}, SIGTERM},
                      SignalCase{"terminal, sound on, SIGHUP", {"--text"}, SIGHUP},
                      SignalCase{"terminal, sound on, SIGINT", {"--text"}, SIGINT},
                      SignalCase{"terminal, no sound, SIGTERM", {"--text", "--no-audio"}, SIGTERM},
                      SignalCase{"windows, sound on, SIGTERM", {}, SIGTERM},
                      // A box's own event loop: the box closes, and one that asks until it
                      // gets an answer asks no more.
                      SignalCase{"windows, input box, SIGTERM", {"--no-audio"}, SIGTERM,
                                 "$string.new name $string.get name ask", "Created new variable: name"},
                      SignalCase{"windows, message box, SIGTERM", {"--no-audio"}, SIGTERM, "$showmessage hello",
                                 "Page gamestart loaded!"},
                      SignalCase{"windows, input box, SIGHUP", {"--no-audio"}, SIGHUP,
                                 "$string.new name $string.get name ask", "Created new variable: name"}));

// A replay has no person to ask, but a signal still ends its chain at the next look and
// then the replay, through the shutdown.
TEST(StopSignalReplay, EndsALongChainAndTheReplayThroughTheShutdown) {
  testing::TempDir game, user;
  game.Write("config.ini", "[GameForm]\nCaption=Signals\n");
  game.Write("music.lst", "");
  game.Write("Scripts/messages.ini", "[Messages]\n");
  game.Write("Scripts/Scripts.bsf", "___script spin $int.new i $while $int.smallerthan i 1 $int.set i 0 ___end\n");
  game.Write("story.qst", "[gamestart]\ntextsize=1\nLine0=Start.\nActionsCount=1\nAction0.Script=spin\n"
                          "Action0.LinesCount=1\nAction0.Line0=Spin\n");
  std::string steps;
  for (int i = 0; i < 100; ++i) steps += "choose 1\n";  // each chain runs to the command bound
  game.Write("steps.replay", steps);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const std::string out = (user.path() / "out.txt").string();
    freopen(out.c_str(), "w", stdout);
    freopen(out.c_str(), "a", stderr);
    if (chdir(game.path().c_str()) != 0) _exit(127);
    setenv("XDG_CONFIG_HOME", (user.path() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (user.path() / "data").c_str(), 1);
    execl(VELMORA_PLAYER, VELMORA_PLAYER, "--game", ".", "--replay", "steps.replay", static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (!Catches(pid, SIGTERM) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // inside a chain
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  const auto sent = Clock::now();
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() - sent < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "still running 10 s after the signal";
  }
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_LT(Clock::now() - sent, std::chrono::seconds(3));
  EXPECT_NE(game.Read("LastStart.log").find("Page gamestart loaded!"), std::string::npos);
  const std::string out = user.Read("out.txt");
  EXPECT_NE(out.find("error: Script stopped: the program is ending."), std::string::npos) << out;
  EXPECT_NE(out.find("(stopped by signal 15"), std::string::npos) << out;
}

}  // namespace
}  // namespace velmora
