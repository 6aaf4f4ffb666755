// Peak memory and time of saving and loading a game whose story file is 50 and 100 MB,
// each measured in a child process of its own: the peak resident memory the step adds to
// what the started game holds (VmHWM after the step, reset just before it, less VmRSS
// before it). Yardsticks in the same run: reading the story file once, and copying it
// (read, then written and synced as a save is). Targets: the extra peak at most about
// 1.5 times the story file; time linear in its size.
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "started_game.h"

namespace velmora {
namespace {

struct Measurement {
  double extraMb = -1;
  double ms = -1;
};

long StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

// Runs `step` once after `setUp` and measures it; both run in a child process, so that
// neither the other measurements nor the parent's allocations count.
Measurement InChild(const std::function<std::function<void()>()>& setUp) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    Measurement m;
    {
      const std::function<void()> step = setUp();
      malloc_trim(0);
      const long before = StatusKb("VmRSS:");
      std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM := VmRSS
      const auto start = std::chrono::steady_clock::now();
      step();
      m.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      m.extraMb = static_cast<double>(StatusKb("VmHWM:") - before) / 1024;
    }
    if (write(fds[1], &m, sizeof m) != sizeof m) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  Measurement m;
  if (read(fds[0], &m, sizeof m) != sizeof m) m = {};
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return m;
}

// The started game lives in the child until it exits; the step uses it.
std::function<void()> WithGame(size_t storyBytes, const std::function<void(StartedGame&)>& prepare,
                               const std::function<void(StartedGame&)>& step) {
  auto* g = new StartedGame(storyBytes);  // left to the child's exit
  g->Choose();
  prepare(*g);
  return [g, step] { step(*g); };
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s failed\n", what);
    _exit(1);
  }
}

void Run(size_t mb) {
  const size_t bytes = mb << 20;
  bool enabled = false;
  auto flip = [&](StartedGame& g) { g.game->story->WriteBool("page7", "Action0.Enabled", enabled = !enabled); };

  const Measurement readOnce = InChild([&] {
    return WithGame(bytes, [](StartedGame&) {}, [](StartedGame& g) {
      Check(g.t.files.Read(g.game->story->Path(), IniDocument::kMaxFileSize).ok(), "read");
    });
  });
  const Measurement copy = InChild([&] {
    return WithGame(bytes, [](StartedGame&) {}, [](StartedGame& g) {
      const FileRead read = g.t.files.Read(g.game->story->Path(), IniDocument::kMaxFileSize);
      g.t.files.AllowWriteOf(g.t.folder() + "copy.qst");
      Check(read.ok() && g.t.files.Replace(g.t.folder() + "copy.qst", read.bytes), "copy");
    });
  });
  // A script has changed the story file since the last choice, so the save reads it.
  const Measurement save = InChild([&] {
    return WithGame(bytes, flip, [](StartedGame& g) { Check(g.saves->Save(1).done, "save"); });
  });
  // The story file has changed since the save, so the load puts the saved one back.
  const Measurement load = InChild([&] {
    return WithGame(bytes, [&](StartedGame& g) {
      Check(g.saves->Save(1).done, "save");
      flip(g);
    }, [](StartedGame& g) { Check(g.saves->Load(1).done, "load"); });
  });

  const double size = static_cast<double>(mb);
  std::printf("story file %zu MB\n", mb);
  std::printf("  yardstick: read once  %7.1f MB extra (%.2f x)  %7.1f ms\n", readOnce.extraMb,
              readOnce.extraMb / size, readOnce.ms);
  std::printf("  yardstick: copy       %7.1f MB extra (%.2f x)  %7.1f ms\n", copy.extraMb, copy.extraMb / size,
              copy.ms);
  std::printf("  save                  %7.1f MB extra (%.2f x)  %7.1f ms (%.2f x the copy)\n", save.extraMb,
              save.extraMb / size, save.ms, save.ms / copy.ms);
  std::printf("  load                  %7.1f MB extra (%.2f x)  %7.1f ms (%.2f x the copy)\n", load.extraMb,
              load.extraMb / size, load.ms, load.ms / copy.ms);
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  // Sizes in MB; by default 50 and 100, which show whether time and memory grow linearly.
  if (argc == 1) {
    velmora::Run(50);
    velmora::Run(100);
  }
  for (int i = 1; i < argc; ++i) velmora::Run(static_cast<size_t>(std::atol(argv[i])));
}
