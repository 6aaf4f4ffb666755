#pragma once
// Plug-in libraries through the system's dynamic loader (dlopen and dlsym).
#include <memory>

#include "base/platform.h"

namespace velmora {

std::unique_ptr<LibraryLoader> CreateDlLoader();

}  // namespace velmora
