#include "library/game_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/ini_document.h"
#include "library/game_library.h"
#include "library/user_folders.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// Writable by us: the permission test, and for root (whom the test always lets through)
// the owner's write bit too, which our INI writes respect.
bool Writable(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return true;  // absent: made on first write, in a writable folder
  return access(path.c_str(), W_OK) == 0 && (st.st_mode & S_IWUSR);
}

std::string Hash8(const std::string& text) {
  uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char out[9];
  std::snprintf(out, sizeof out, "%08x", static_cast<unsigned>((h ^ (h >> 32)) & 0xffffffffu));
  return out;
}

std::string WithoutSeparator(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

struct Entry {
  fs::path relative;
  bool folder = false;
  uint64_t size = 0;
};

// The source's regular files and folders; links and special files are left out, and a
// linked folder is not entered.
std::vector<Entry> ListSource(const fs::path& source, uint64_t& total) {
  std::vector<Entry> entries;
  total = 0;
  for (fs::recursive_directory_iterator it(source), end; it != end; ++it) {
    const fs::file_status status = it->symlink_status();
    Entry e;
    e.relative = it->path().lexically_relative(source);
    if (fs::is_directory(status)) {
      e.folder = true;
    } else if (fs::is_regular_file(status)) {
      e.size = it->file_size();
      total += e.size;
    } else {
      continue;
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

void CopyInto(const fs::path& source, const fs::path& target, const CopyProgress& progress) {
  uint64_t total = 0, done = 0;
  const std::vector<Entry> entries = ListSource(source, total);
  if (progress) progress(0, total);
  fs::create_directories(target);
  for (const Entry& e : entries) {
    const fs::path to = target / e.relative;
    if (e.folder) {
      fs::create_directory(to);
      fs::permissions(to, fs::perms::owner_all, fs::perm_options::add);
      continue;
    }
    fs::copy_file(source / e.relative, to, fs::copy_options::overwrite_existing);
    // The copy is ours to write, whatever the medium's files said.
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    done += e.size;
    if (progress) progress(done, total);
  }
}

}  // namespace

bool GameFolderWritable(GameFiles& files, const std::string& folder) {
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  if (!Writable(base)) return false;
  const std::string config = files.Resolve(base + "config.ini");
  if (!Writable(config)) return false;
  const std::string storyName = IniDocument(files, config).ReadText("Files", "StoryFile", "story.qst");
  return Writable(files.Resolve(base + storyName));
}

std::string GameCopyFolder(const std::string& sourceFolder) {
  const std::string listed = GameLibrary::ListedForm(sourceFolder);
  std::string name = fs::path(WithoutSeparator(listed)).filename().string();
  if (name.empty() || name == "/") name = "game";
  return UserDataFolder() + "games/" + name + "-" + Hash8(listed) + "/";
}

PlayFolder PrepareGameFolder(GameFiles& files, const std::string& sourceFolder, bool wantCopy,
                             const CopyProgress& progress) {
  PlayFolder result;
  std::string source = GameLibrary::ListedForm(sourceFolder);
  if (!wantCopy && GameFolderWritable(files, source)) {
    result.folder = source;
    return result;
  }
  result.copy = true;
  const std::string copy = GameCopyFolder(source);
  std::error_code ec;
  if (fs::is_directory(copy, ec)) {
    result.folder = copy;
    return result;
  }
  const fs::path target = WithoutSeparator(copy);
  const fs::path partial = target.string() + ".partial-" + std::to_string(getpid());
  try {
    fs::remove_all(partial);
    CopyInto(WithoutSeparator(source), partial, progress);
    fs::rename(partial, target, ec);
    if (ec) {
      // Another player finished the same copy first: play that one.
      fs::remove_all(partial);
      if (!fs::is_directory(target)) throw fs::filesystem_error("cannot rename the copy", partial, target, ec);
    } else {
      result.madeNow = true;
    }
  } catch (const fs::filesystem_error& e) {
    fs::remove_all(partial, ec);
    result.error = "cannot copy " + source + " to " + copy + ": " + e.code().message();
    return result;
  }
  result.folder = copy;
  return result;
}

}  // namespace velmora
