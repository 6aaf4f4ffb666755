// A browser page loads no plug-in libraries (the web platform lends no library loader),
// so the consent's hash of a library is never asked for there.
#include "base/sha256.h"

namespace velmora {

std::string Sha256Hex(std::string_view) { return {}; }

}  // namespace velmora
