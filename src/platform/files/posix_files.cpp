#include "platform/files/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "base/descriptor.h"

namespace velmora {

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.exists = true;
  id.regular = S_ISREG(st.st_mode);
  id.size = static_cast<uint64_t>(st.st_size);
  id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  id.inode = st.st_ino;
  id.device = st.st_dev;
  return id;
}

bool WriteAll(const FileSystemCalls& calls, int fd, std::string_view bytes) {
  for (size_t written = 0; written < bytes.size();) {
    const ssize_t n = calls.write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

FileRead Failed(FileRead::Status status, int error) {
  FileRead r;
  r.status = status;
  r.error = error;
  return r;
}

}  // namespace

bool PosixFiles::Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

FileIdentity PosixFiles::Identity(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return IdentityOf(st);
}

int PosixFiles::ReadableError(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  if (::access(path.c_str(), R_OK) != 0) return errno;
  return 0;
}

// Opens a regular file for reading into fd, with its status in st; a refusal when it is
// no regular file or cannot be opened, kRead when it is open.
FileRead PosixFiles::OpenForReading(const std::string& path, int& fd, struct stat& st) {
  // Non-blocking, so that opening a FIFO does not wait for a writer; it is refused below.
  fd = calls.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
  if (fd < 0) {
    const int error = errno;
    return Failed(error == ENOENT || error == ENOTDIR ? FileRead::Status::kNotFound : FileRead::Status::kSystemError,
                  error);
  }
  if (::fstat(fd, &st) != 0) return Failed(FileRead::Status::kSystemError, errno);
  if (!S_ISREG(st.st_mode)) return Failed(FileRead::Status::kNotRegular, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  FileRead open;
  open.status = FileRead::Status::kRead;
  return open;
}

FileRead PosixFiles::Read(const std::string& path, size_t maxBytes) {
  int opened = -1;
  struct stat st {};
  FileRead refused = OpenForReading(path, opened, st);
  Descriptor fd(opened);
  if (refused.status != FileRead::Status::kRead) return refused;
  if (static_cast<uint64_t>(st.st_size) > maxBytes) return Failed(FileRead::Status::kTooLarge, EFBIG);
  FileRead r;
  r.identity = IdentityOf(st);
  std::string& out = r.bytes;
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    if (got == out.size()) {
      // All that fstat saw: a small probe tells whether the file grew since, without
      // growing (and copying) a large buffer for a file that did not.
      char probe[4096];
      ssize_t n;
      do n = ::read(fd.get(), probe, std::min(sizeof probe, maxBytes - got + 1));
      while (n < 0 && errno == EINTR);
      if (n < 0) return Failed(FileRead::Status::kSystemError, errno);
      if (n == 0) break;
      if (got + static_cast<size_t>(n) > maxBytes) return Failed(FileRead::Status::kTooLarge, EFBIG);
      out.resize(std::min(maxBytes, out.size() + sizeof probe + out.size() / 2));
      std::memcpy(out.data() + got, probe, static_cast<size_t>(n));
      got += static_cast<size_t>(n);
      continue;
    }
    const ssize_t n = ::read(fd.get(), out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed(FileRead::Status::kSystemError, errno);
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  out.resize(got);
  r.status = FileRead::Status::kRead;
  return r;
}

FileRead PosixFiles::ReadHead(const std::string& path, size_t maxBytes) {
  int opened = -1;
  struct stat st {};
  FileRead r = OpenForReading(path, opened, st);
  Descriptor fd(opened);
  if (r.status != FileRead::Status::kRead) return r;
  r.identity = IdentityOf(st);
  r.bytes.resize(std::min(maxBytes, static_cast<size_t>(st.st_size)));
  size_t got = 0;
  while (got < r.bytes.size()) {
    const ssize_t n = ::read(fd.get(), r.bytes.data() + got, r.bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed(FileRead::Status::kSystemError, errno);
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  r.bytes.resize(got);
  r.status = FileRead::Status::kRead;
  return r;
}

bool PosixFiles::List(const std::string& folder, std::vector<FolderEntry>& entries) {
  DIR* d = ::opendir(folder.c_str());
  if (!d) return false;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.name = name;
    unsigned char type = e->d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
      struct stat st {};
      type = ::fstatat(::dirfd(d), e->d_name, &st, 0) != 0 ? DT_UNKNOWN
             : S_ISREG(st.st_mode)                         ? DT_REG
             : S_ISDIR(st.st_mode)                         ? DT_DIR
                                                           : DT_UNKNOWN;
    }
    entry.kind = type == DT_REG ? FileKind::kFile : type == DT_DIR ? FileKind::kFolder : FileKind::kOther;
    entries.push_back(std::move(entry));
  }
  ::closedir(d);
  return true;
}

void PosixFiles::AllowWrites(const std::string& folder, bool below) {
  // Each run of a process allows its areas again.
  for (const Area& area : areas_)
    if (area.folder == folder && area.below == below) return;
  areas_.push_back({folder, below, {}});
}

void PosixFiles::AllowWriteOf(const std::string& file) {
  const size_t slash = file.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  for (const Area& area : areas_)
    if (area.folder == folder && area.onlyName == name) return;
  areas_.push_back({folder, false, name});
}

// The folder a name is in, where it really is; empty when it does not exist.
static std::string RealFolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  char* real = ::realpath(folder.c_str(), nullptr);
  if (!real) return {};
  std::string out = real;
  std::free(real);
  return out;
}

bool PosixFiles::WriteAllowed(const std::string& path) const {
  const size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return false;
  if (areas_.empty()) return true;
  const std::string folder = RealFolderOf(path);
  if (folder.empty()) return false;
  for (const Area& area : areas_) {
    char* real = ::realpath(area.folder.c_str(), nullptr);
    if (!real) continue;
    std::string root = real;
    std::free(real);
    if (!area.onlyName.empty()) {
      if (folder == root && name == area.onlyName) return true;
      continue;
    }
    if (folder == root) return true;
    if (root != "/") root += '/';
    if (area.below && folder.compare(0, root.size(), root) == 0) return true;
  }
  return false;
}

// A folder where no new file may be made, but whose file may be written: the file takes
// the bytes where it is. Only a plain file with no other name, so nothing else changes.
bool PosixFiles::ReplaceInPlace(const std::string& path, const struct stat& old, std::string_view bytes) {
  Descriptor fd(calls.open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
      st.st_ino != old.st_ino || st.st_dev != old.st_dev)
    return false;
  bool ok = WriteAll(calls, fd.get(), bytes) && calls.ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0;
  ok = calls.fsync(fd.get()) == 0 && ok;
  return fd.Close() && ok;
}

bool PosixFiles::Replace(const std::string& path, std::string_view bytes) {
  if (!WriteAllowed(path)) return false;
  struct stat st {};
  const bool exists = ::lstat(path.c_str(), &st) == 0;
  const bool regular = exists && S_ISREG(st.st_mode);
  // A link at the name is replaced, never written through. A file without its owner's
  // write bit stays untouched even for root, as the user meant by making it read-only.
  if (exists && !regular && !S_ISLNK(st.st_mode)) return false;
  if (regular && ((st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0)) return false;

  static unsigned serial = 0;
  std::string tmp;
  int created = -1;
  for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
    tmp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
    created = calls.open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (created < 0 && errno != EEXIST) break;
  }
  if (created < 0) {
    const bool folderForbids = errno == EACCES || errno == EPERM || errno == EROFS;
    return folderForbids && regular && ReplaceInPlace(path, st, bytes);
  }
  Descriptor fd(created);
  bool ok = true;
  if (regular) {
    ok = ::fchmod(fd.get(), st.st_mode & 07777) == 0;
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) (void)!::fchown(fd.get(), st.st_uid, st.st_gid);
  }
  ok = ok && WriteAll(calls, fd.get(), bytes);
  ok = calls.fsync(fd.get()) == 0 && ok;
  ok = fd.Close() && ok;
  if (!ok || calls.rename(tmp.c_str(), path.c_str()) != 0) {
    calls.unlink(tmp.c_str());
    return false;
  }
  // The rename itself lasts only once the folder is on disk too.
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  Descriptor dir(calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (dir.get() >= 0) calls.fsync(dir.get());
  return true;
}

bool PosixFiles::Overwrite(const std::string& path, std::string_view bytes) {
  if (!WriteAllowed(path)) return false;
  // Truncating a link's target or a file's other name would change a file elsewhere.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || st.st_nlink > 1)) {
    if (S_ISDIR(st.st_mode) || calls.unlink(path.c_str()) != 0) return false;
  }
  Descriptor fd(calls.open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (fd.get() < 0) return false;
  const bool ok = WriteAll(calls, fd.get(), bytes);
  return fd.Close() && ok;
}

void PosixFiles::RemoveStaleTemporaries(const std::string& folder) {
  if (!WriteAllowed((folder.empty() ? std::string(".") : folder) + "/x")) return;
  DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return;
  while (const dirent* e = ::readdir(d)) {
    // <name>.tmp<pid>-<n>, as Replace names them.
    const std::string_view name = e->d_name;
    const size_t tmp = name.rfind(".tmp");
    const size_t dash = name.rfind('-');
    if (tmp == std::string_view::npos || tmp == 0 || dash == std::string_view::npos || dash < tmp + 5 ||
        dash + 1 == name.size())
      continue;
    const std::string_view pid = name.substr(tmp + 4, dash - tmp - 4), serial = name.substr(dash + 1);
    if (pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string_view::npos ||
        serial.find_first_not_of("0123456789") != std::string_view::npos)
      continue;
    const pid_t owner = static_cast<pid_t>(std::stol(std::string(pid)));
    // A Replace still at work in another player keeps its file.
    if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

bool PosixFiles::Remove(const std::string& path) {
  if (!WriteAllowed(path)) return false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) return false;
  return calls.unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::string PosixFiles::FullPath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

int64_t PosixFiles::FileTimeNowNs() {
  timespec ts {};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace velmora
