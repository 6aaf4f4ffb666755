#pragma once
// Plug-in libraries through the system's dynamic loader (dlopen and dlsym); a Windows
// port has its own loader, with LoadLibrary and ".dll".
#include <memory>

#include "base/platform.h"

namespace velmora {

std::unique_ptr<LibraryLoader> CreateDlLoader();

}  // namespace velmora
