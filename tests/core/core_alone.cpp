// A program linked on the core alone. Its check (core_link_check.sh) reads the shared
// libraries it needs: the core must bring no toolkit, device, picture or crypto library.
#include <cstdio>

#include "base/sha256.h"
#include "run/command_language.h"

int main() {
  std::printf("%zu commands, sha256(abc)=%s\n", velmora::LanguageCommands().size(),
              velmora::Sha256Hex("abc").c_str());
  return 0;
}
