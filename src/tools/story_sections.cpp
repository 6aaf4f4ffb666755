#include "tools/story_sections.h"

#include <unordered_set>

#include "base/ini_document.h"
#include "base/platform.h"
#include "base/text.h"

namespace velmora {

std::vector<std::string> StorySectionNames(GameFiles& files, const std::string& path) {
  std::vector<std::string> names;
  const std::string text = files.Read(path, IniDocument::kMaxFileSize).bytes;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    const size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos || line[b] != '[') continue;
    const size_t e = line.find(']', b);
    std::string_view name = line.substr(b + 1, e == std::string::npos ? std::string::npos : e - b - 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r')) name.remove_suffix(1);
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    names.emplace_back(name);
  }
  return names;
}

std::vector<std::string> StoryPageNames(const IniDocument& story, const std::vector<std::string>& sections) {
  std::vector<std::string> pages;
  std::unordered_set<std::string> seen;
  for (const auto& name : sections) {
    if (SameCommand(name, "WriterList") || !story.SectionPresent(name)) continue;
    if (seen.insert(AsciiLower(name)).second) pages.push_back(name);
  }
  return pages;
}

}  // namespace velmora
