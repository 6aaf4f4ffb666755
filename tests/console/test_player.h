#pragma once
// The program the tests run as a player would: this build's velmora-player, or another
// build of it named by VELMORA_TEST_PLAYER (the replay runner under WebAssembly plays the
// replay tests too).
#include <cstdlib>
#include <string>

namespace velmora::testing {

inline std::string TestPlayer() {
  const char* other = std::getenv("VELMORA_TEST_PLAYER");
  return other && *other ? other : VELMORA_PLAYER;
}

}  // namespace velmora::testing
