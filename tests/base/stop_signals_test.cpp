#include "base/stop_signals.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>

namespace velmora {
namespace {

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

// A game played from the library holds its own StopSignals inside the library's: when
// the game's goes, the library must still hear a request, on the same pipe it watches,
// and a request the game heard must end the library too.
TEST(StopSignalsTest, AHolderInsideAnotherSharesItsPipeAndRequest) {
  StopSignals library;
  const int fd = StopSignals::WakeFd();
  ASSERT_GE(fd, 0);
  {
    StopSignals game;
    EXPECT_EQ(StopSignals::WakeFd(), fd);
    ASSERT_EQ(std::raise(SIGHUP), 0);
    EXPECT_TRUE(StopSignals::Requested());
  }
  EXPECT_EQ(StopSignals::WakeFd(), fd);
  EXPECT_TRUE(Readable(fd));
  EXPECT_EQ(StopSignals::Signal(), SIGHUP);
}

TEST(StopSignalsTest, TheOutermostHolderRestoresTheHandlersItFound) {
  struct sigaction before {};
  sigaction(SIGTERM, nullptr, &before);
  {
    StopSignals outer;
    StopSignals inner;
  }
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
  EXPECT_EQ(StopSignals::WakeFd(), -1);
  // A new holder starts with no request.
  StopSignals next;
  EXPECT_FALSE(StopSignals::Requested());
}

}  // namespace
}  // namespace velmora
