#pragma once
// Messages about paths. Resolving game paths belongs to the file seam (GameFiles in
// base/platform.h), whose rules live in paths.cpp.
#include <string>

namespace velmora {

// "Cannot open file "<full path>". <reason>" for a system error number; the path as
// GameFiles::FullPath gives it.
std::string CannotOpenMessage(const std::string& fullPath, int error);

}  // namespace velmora
