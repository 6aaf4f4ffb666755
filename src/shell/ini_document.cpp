#include "shell/ini_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "shell/fault.h"
#include "shell/int_text.h"
#include "shell/text.h"

namespace velmora {

namespace {

struct Identity {
  bool exists = false;
  off_t size = 0;
  int64_t mtimeNs = 0;
  ino_t inode = 0;
  dev_t device = 0;
  bool operator==(const Identity&) const = default;
};

Identity StatFile(const std::string& path) {
  struct stat st {};
  Identity id;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return id;
  id.exists = true;
  id.size = st.st_size;
  id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  id.inode = st.st_ino;
  id.device = st.st_dev;
  return id;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

}  // namespace

struct IniDocument::Parsed {
  Identity id;
  std::string content;
  struct Section {
    std::unordered_map<std::string, std::string> values;  // lower-cased key -> value
    bool hasKey = false;
  };
  std::unordered_map<std::string, Section> sections;  // lower-cased name -> first block
};

namespace {

void ParseInto(IniDocument::Parsed& p) {
  std::string_view text = p.content;
  IniDocument::Parsed::Section* current = nullptr;
  bool currentIsFirst = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    if (line.empty()) continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      std::string lower = AsciiLower(name);
      auto [it, inserted] = p.sections.try_emplace(lower);
      current = &it->second;
      currentIsFirst = inserted;
      continue;
    }
    if (!current || !currentIsFirst) continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key = AsciiLower(Trim(line.substr(0, eq)));
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                              (value.front() == '\'' && value.back() == '\''))) {
      value = value.substr(1, value.size() - 2);
    }
    if (value.size() > 2047) value = value.substr(0, 2047);
    current->hasKey = true;
    current->values.try_emplace(std::move(key), value);
  }
}

bool ReadWhole(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  out = ss.str();
  return true;
}

}  // namespace

IniDocument::IniDocument(std::string path) : path_(std::move(path)) {}
IniDocument::~IniDocument() = default;

const IniDocument::Parsed* IniDocument::Current() const {
  Identity id = StatFile(path_);
  if (cache_ && cache_->id == id) return cache_.get();
  auto fresh = std::make_unique<Parsed>();
  fresh->id = id;
  if (id.exists && ReadWhole(path_, fresh->content)) ParseInto(*fresh);
  cache_ = std::move(fresh);
  return cache_.get();
}

std::string IniDocument::ReadText(std::string_view section, std::string_view key, std::string_view def) const {
  const Parsed* p = Current();
  auto s = p->sections.find(AsciiLower(section));
  if (s == p->sections.end()) return std::string(def);
  auto k = s->second.values.find(AsciiLower(key));
  if (k == s->second.values.end()) return std::string(def);
  return k->second;
}

int32_t IniDocument::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const Parsed* p = Current();
  auto s = p->sections.find(AsciiLower(section));
  if (s == p->sections.end()) return def;
  auto k = s->second.values.find(AsciiLower(key));
  if (k == s->second.values.end()) return def;
  return ParseInt32(k->second).value_or(def);
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniDocument::SectionPresent(std::string_view section) const {
  const Parsed* p = Current();
  auto s = p->sections.find(AsciiLower(section));
  return s != p->sections.end() && s->second.hasKey;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const auto& [name, section] : Current()->sections)
    if (section.hasKey) names.push_back(name);
  return names;
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteText(section, key, std::to_string(value));
}

void IniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteText(section, key, value ? "1" : "0");
}

void IniDocument::WriteText(std::string_view section, std::string_view key, std::string_view value) {
  const std::string failure = "Unable to write to " + path_;
  Identity id = StatFile(path_);
  std::string content;
  struct stat st {};
  mode_t mode = 0644;
  if (id.exists) {
    if (::stat(path_.c_str(), &st) == 0) mode = st.st_mode & 07777;
    // A file without write permission stays untouched, whoever runs the program.
    if ((mode & S_IWUSR) == 0 || !ReadWhole(path_, content)) throw RuntimeFault(failure);
  }
  const std::string eol = (content.find("\r\n") != std::string::npos || content.empty()) ? "\r\n" : "\n";

  // Split keeping each line's own ending, so untouched lines are written back byte for byte.
  std::vector<std::string> lines;
  for (size_t pos = 0; pos < content.size();) {
    size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = content.size();
    size_t next = end;
    if (next < content.size() && content[next] == '\r') ++next;
    if (next < content.size() && content[next] == '\n') ++next;
    lines.emplace_back(content.substr(pos, next - pos));
    pos = next;
  }
  const std::string wantSection = AsciiLower(section);
  const std::string wantKey = AsciiLower(key);
  const std::string newLine = std::string(key) + "=" + std::string(value);
  bool inTarget = false, sectionFound = false, done = false;
  size_t lastKeyLine = 0;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    std::string_view t = Trim(lines[i]);
    if (!t.empty() && t.front() == '[') {
      if (inTarget) break;  // first block of the section ended without the key
      size_t close = t.find(']');
      std::string_view name = Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1));
      if (!sectionFound && AsciiLower(name) == wantSection) {
        inTarget = sectionFound = true;
        lastKeyLine = i;
      }
      continue;
    }
    if (!inTarget || t.empty()) continue;
    lastKeyLine = i;
    size_t eq = t.find('=');
    if (eq != std::string_view::npos && AsciiLower(Trim(t.substr(0, eq))) == wantKey) {
      std::string ending = lines[i].substr(lines[i].find_last_not_of("\r\n") + 1);
      lines[i] = newLine + (ending.empty() ? eol : ending);
      done = true;
    }
  }
  if (!done) {
    auto ensureEnding = [&](size_t idx) {
      if (idx < lines.size() && !lines[idx].empty() && lines[idx].back() != '\n' && lines[idx].back() != '\r')
        lines[idx] += eol;
    };
    if (sectionFound) {
      ensureEnding(lastKeyLine);
      lines.insert(lines.begin() + static_cast<long>(lastKeyLine) + 1, newLine + eol);
    } else {
      if (!lines.empty()) ensureEnding(lines.size() - 1);
      std::string header(1, '[');
      header.append(section).append("]").append(eol);
      lines.push_back(std::move(header));
      lines.push_back(newLine + eol);
    }
  }
  std::string out;
  for (auto& l : lines) out += l;
  Replace(out, mode);
}

void IniDocument::ReplaceContent(std::string_view text) {
  struct stat st {};
  mode_t mode = 0644;
  if (::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    mode = st.st_mode & 07777;
    if ((mode & S_IWUSR) == 0) throw RuntimeFault("Unable to write to " + path_);
  }
  Replace(text, mode);
}

void IniDocument::Replace(std::string_view out, unsigned mode) {
  const std::string failure = "Unable to write to " + path_;
  const std::string tmp = path_ + ".tmp-write";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, static_cast<mode_t>(mode) | S_IWUSR);
  if (fd < 0) throw RuntimeFault(failure);
  size_t written = 0;
  while (written < out.size()) {
    ssize_t n = ::write(fd, out.data() + written, out.size() - written);
    if (n <= 0) {
      ::close(fd);
      ::unlink(tmp.c_str());
      throw RuntimeFault(failure);
    }
    written += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(tmp.c_str(), path_.c_str()) != 0) {
    ::unlink(tmp.c_str());
    throw RuntimeFault(failure);
  }
  ::chmod(path_.c_str(), static_cast<mode_t>(mode));
  // The rename itself lasts only once the folder is on disk too.
  const size_t slash = path_.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  cache_.reset();
}

}  // namespace velmora
