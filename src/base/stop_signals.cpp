#include "base/stop_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <iterator>

namespace velmora {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

volatile std::sig_atomic_t received = 0;
int pipeFds[2] = {-1, -1};
int installed = 0;  // nested holders share the outermost one's handlers and pipe
struct sigaction previous[std::size(kSignals)];

void OnStop(int signal) {
  const int saved = errno;
  if (received == 0) received = signal;
  if (pipeFds[1] >= 0) (void)!::write(pipeFds[1], "x", 1);
  errno = saved;
}

}  // namespace

StopSignals::StopSignals() {
  if (installed++ > 0) return;
  received = 0;
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) pipeFds[0] = pipeFds[1] = -1;
  struct sigaction action {};
  action.sa_handler = OnStop;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait in progress returns at once. SA_RESETHAND: a second signal of
  // the same kind takes its default action.
  action.sa_flags = SA_RESETHAND;
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous[i]);
}

StopSignals::~StopSignals() {
  if (--installed > 0) return;
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
  for (int& fd : pipeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

bool StopSignals::Requested() { return received != 0; }
int StopSignals::Signal() { return received; }
int StopSignals::WakeFd() { return pipeFds[0]; }

void StopSignals::Sleep(int64_t ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (auto now = std::chrono::steady_clock::now(); now < end && !Requested(); now = std::chrono::steady_clock::now()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
    pollfd p{pipeFds[0], POLLIN, 0};  // a negative descriptor only waits
    ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left, 1 << 30)));
  }
}

}  // namespace velmora
