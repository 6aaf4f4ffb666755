#pragma once
// The one resolver for file paths that come from game data. Games were made on a system
// with backslash separators and case-insensitive file names, so: backslashes become
// separators, doubled separators collapse, and when the exact path does not exist each
// component is matched against the folder's entries without regard to letter case (ASCII
// and the Cyrillic letters of Windows-1251, also against names stored in UTF-8).
#include <string>
#include <string_view>

namespace velmora {

// Returns the path to use on this system (the normalised path itself when nothing matches).
std::string ResolvePath(std::string_view gamePath);
// A regular file (not a folder) exists at the resolved path.
bool FileExists(std::string_view gamePath);
// Anything exists at the resolved path.
bool PathExists(std::string_view gamePath);

// "Cannot open file "<full path>". <reason>" for a system error number.
std::string CannotOpenMessage(const std::string& path, int error);

}  // namespace velmora
