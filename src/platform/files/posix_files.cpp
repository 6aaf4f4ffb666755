#include "platform/files/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

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

// Owns a descriptor for the length of a call.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, so that a failing close counts (it may report a failed write).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  for (size_t written = 0; written < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
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
  if (::access(path.c_str(), R_OK) != 0) return errno;
  return 0;
}

FileRead PosixFiles::Read(const std::string& path, size_t maxBytes) {
  // Non-blocking, so that opening a FIFO does not wait for a writer; it is refused below.
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    const int error = errno;
    return Failed(error == ENOENT || error == ENOTDIR ? FileRead::Status::kNotFound : FileRead::Status::kSystemError,
                  error);
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return Failed(FileRead::Status::kSystemError, errno);
  if (!S_ISREG(st.st_mode)) return Failed(FileRead::Status::kNotRegular, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  if (static_cast<uint64_t>(st.st_size) > maxBytes) return Failed(FileRead::Status::kTooLarge, EFBIG);
  FileRead r;
  r.identity = IdentityOf(st);
  std::string& out = r.bytes;
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    if (got == out.size()) {  // the file grew since fstat
      if (out.size() >= maxBytes) {
        char probe;
        ssize_t n;
        do n = ::read(fd.get(), &probe, 1);
        while (n < 0 && errno == EINTR);
        if (n > 0) return Failed(FileRead::Status::kTooLarge, EFBIG);
        break;
      }
      out.resize(std::min(maxBytes, out.size() + 4096 + out.size() / 2));
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

bool PosixFiles::Replace(const std::string& path, std::string_view bytes) {
  // A link stays a link: its target is the file replaced.
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return false;
    target = real;
    std::free(real);
  }
  const bool exists = ::stat(target.c_str(), &st) == 0;
  // A rename would replace a file we may not write to; and a file without its owner's
  // write bit stays untouched even for root, as the user meant by making it read-only.
  if (exists && (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0))
    return false;

  static unsigned serial = 0;
  std::string tmp;
  int created = -1;
  for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
    tmp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
    created = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (created < 0 && errno != EEXIST) break;
  }
  if (created < 0) return false;
  Descriptor fd(created);
  bool ok = true;
  if (exists) {
    ok = ::fchmod(fd.get(), st.st_mode & 07777) == 0;
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) (void)!::fchown(fd.get(), st.st_uid, st.st_gid);
  }
  ok = ok && WriteAll(fd.get(), bytes);
  ok = ::fsync(fd.get()) == 0 && ok;
  ok = fd.Close() && ok;
  if (!ok || ::rename(tmp.c_str(), target.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  // The rename itself lasts only once the folder is on disk too.
  const size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

bool PosixFiles::Overwrite(const std::string& path, std::string_view bytes) {
  Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) return false;
  const bool ok = WriteAll(fd.get(), bytes);
  return fd.Close() && ok;
}

bool PosixFiles::Remove(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
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
