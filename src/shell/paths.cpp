#include "shell/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <vector>

#include "shell/text.h"

namespace velmora {

namespace {

std::string Normalise(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (char c : in) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

bool Exists(const std::string& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0 || ::stat(p.c_str(), &st) == 0;
}

}  // namespace

std::string ResolvePath(std::string_view gamePath) {
  std::string norm = Normalise(gamePath);
  if (norm.empty() || Exists(norm)) return norm;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= norm.size()) {
    size_t slash = norm.find('/', start);
    if (slash == std::string::npos) slash = norm.size();
    parts.emplace_back(norm.substr(start, slash - start));
    start = slash + 1;
  }
  std::string built = norm.front() == '/' ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part.empty()) continue;
    std::string candidate = built + part;
    if (!Exists(candidate)) {
      DIR* d = ::opendir(built.empty() ? "." : built.c_str());
      if (d) {
        std::string want = AsciiLower(part);
        while (dirent* e = ::readdir(d)) {
          if (AsciiLower(e->d_name) == want) {
            candidate = built + e->d_name;
            break;
          }
        }
        ::closedir(d);
      }
    }
    built = candidate;
    if (i + 1 < parts.size()) built += '/';
  }
  return built;
}

bool FileExists(std::string_view gamePath) {
  struct stat st {};
  return ::stat(ResolvePath(gamePath).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PathExists(std::string_view gamePath) { return Exists(ResolvePath(gamePath)); }

}  // namespace velmora
