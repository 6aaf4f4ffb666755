#include "library/game_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/descriptor.h"
#include "base/ini_document.h"
#include "base/stop_signals.h"
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

// A refusal of the copy in words, for the message.
struct CopyRefused {
  std::string reason;
};

[[noreturn]] void ThrowSystem(const fs::path& path) {
  throw fs::filesystem_error("cannot copy", path, std::error_code(errno, std::generic_category()));
}

// Opens a listed name below an opened folder, never through a link, and checks it is still
// what the listing saw: swapping a file for a link or another file between the listing and
// the copy would otherwise copy whatever the swap points at.
int OpenListed(int folderFd, const std::string& name, bool folder, const struct stat& listed, const fs::path& path) {
  const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (folder ? O_DIRECTORY : 0);
  const int fd = ::openat(folderFd, name.c_str(), flags);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENOTDIR || errno == ENXIO || errno == ENOENT) throw CopyRefused{path.string() + " changed while it was copied"};
    ThrowSystem(path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_dev != listed.st_dev || st.st_ino != listed.st_ino ||
      (folder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))) {
    ::close(fd);
    throw CopyRefused{path.string() + " changed while it was copied"};
  }
  return fd;
}

struct Copier {
  const CopyProgress& progress;
  uint64_t total = 0, done = 0, entries = 0;

  // The regular files and folders below an opened folder, with what each was when listed;
  // links and special files are left out. A file counts by its length, holes included:
  // the copy writes them all.
  struct Listed {
    std::string name;
    struct stat st;
  };
  std::vector<Listed> List(int folderFd, const fs::path& path, int depth) {
    if (depth > kMaxCopyDepth) throw CopyRefused{"the folders nest more than " + std::to_string(kMaxCopyDepth) + " deep"};
    std::vector<Listed> out;
    DIR* d = ::fdopendir(::dup(folderFd));
    if (!d) ThrowSystem(path);
    ::rewinddir(d);  // the duplicate shares its place with a listing made before
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      Listed l{name, {}};
      if (::fstatat(folderFd, e->d_name, &l.st, AT_SYMLINK_NOFOLLOW) != 0 ||
          !(S_ISREG(l.st.st_mode) || S_ISDIR(l.st.st_mode)))
        continue;
      if (++entries > kMaxCopyEntries) {
        ::closedir(d);
        throw CopyRefused{"the game folder holds more than " + std::to_string(kMaxCopyEntries) + " files and folders"};
      }
      if (S_ISREG(l.st.st_mode)) total += static_cast<uint64_t>(l.st.st_size);
      out.push_back(std::move(l));
    }
    ::closedir(d);
    if (total > kMaxCopyBytes)
      throw CopyRefused{"the game folder is too large to copy (more than " + std::to_string(kMaxCopyBytes >> 20) + " MB)"};
    return out;
  }

  // Sums what a copy of the folder would write, refusing a folder past the bounds.
  void Measure(int folderFd, const fs::path& path, int depth) {
    for (const Listed& l : List(folderFd, path, depth)) {
      if (!S_ISDIR(l.st.st_mode)) continue;
      Descriptor sub(OpenListed(folderFd, l.name, true, l.st, path / l.name));
      Measure(sub.get(), path / l.name, depth + 1);
    }
  }

  void CopyFile(int from, const fs::path& to, uint64_t length, mode_t mode) {
    // The copy is ours to write, whatever the medium's files said.
    Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, (mode & 0777) | 0600));
    if (out.get() < 0) ThrowSystem(to);
    std::vector<char> buffer(1 << 16);
    for (uint64_t copied = 0;;) {
      if (StopSignals::Requested()) throw CopyRefused{"stopped by a signal"};
      const ssize_t n = ::read(from, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ThrowSystem(to);
      if (n == 0) break;
      // A file that grows after it was measured would break the bound.
      copied += static_cast<uint64_t>(n);
      if (copied > length) throw CopyRefused{to.string() + " changed while it was copied"};
      for (ssize_t written = 0; written < n;) {
        const ssize_t w = ::write(out.get(), buffer.data() + written, static_cast<size_t>(n - written));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) ThrowSystem(to);
        written += w;
      }
    }
  }

  void Copy(int folderFd, const fs::path& from, const fs::path& to, int depth) {
    for (const Listed& l : List(folderFd, from, depth)) {
      if (StopSignals::Requested()) throw CopyRefused{"stopped by a signal"};
      const fs::path target = to / l.name;
      Descriptor fd(OpenListed(folderFd, l.name, S_ISDIR(l.st.st_mode), l.st, from / l.name));
      if (S_ISDIR(l.st.st_mode)) {
        if (::mkdir(target.c_str(), 0700) != 0) ThrowSystem(target);
        Copy(fd.get(), from / l.name, target, depth + 1);
        continue;
      }
      CopyFile(fd.get(), target, static_cast<uint64_t>(l.st.st_size), l.st.st_mode);
      done += static_cast<uint64_t>(l.st.st_size);
      if (progress) progress(done, measured);
    }
  }
  uint64_t measured = 0;
};

void CopyInto(const fs::path& source, const fs::path& target, const CopyProgress& progress) {
  Descriptor root(::open(source.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (root.get() < 0) ThrowSystem(source);
  Copier copier{progress};
  copier.Measure(root.get(), source, 0);
  copier.measured = copier.total;
  copier.total = copier.entries = 0;  // counted again as the copy lists each folder anew
  if (progress) progress(0, copier.measured);
  if (::mkdir(target.c_str(), 0700) != 0) ThrowSystem(target);
  copier.Copy(root.get(), source, target, 0);
}

// Copies cut short by a process that no longer runs (killed, or the machine went down):
// <copy>.partial-<pid> beside the copies.
void RemoveDeadPartialCopies(const fs::path& gamesFolder) {
  std::error_code ec;
  for (fs::directory_iterator it(gamesFolder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const size_t mark = name.rfind(".partial-");
    if (mark == std::string::npos) continue;
    const std::string pid = name.substr(mark + 9);
    if (pid.empty() || pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t owner = static_cast<pid_t>(std::stol(pid));
    if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
    std::error_code removeError;
    fs::remove_all(it->path(), removeError);
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
  RemoveDeadPartialCopies(target.parent_path());
  try {
    fs::remove_all(partial);
    fs::create_directories(target.parent_path());
    // A signal while copying ends the copy and removes what it made.
    StopSignals stopSignals;
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
  } catch (const CopyRefused& refused) {
    fs::remove_all(partial, ec);
    result.error = "cannot copy " + source + " to " + copy + ": " + refused.reason;
    return result;
  }
  result.folder = copy;
  return result;
}

}  // namespace velmora
