#pragma once
// The file seam on a POSIX system.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace velmora {

// The system calls by which the seam creates, writes, syncs, renames and removes files,
// in one table, so that a test records (or fails) the calls themselves, not a label beside them.
struct FileSystemCalls {
  std::function<int(const char* path, int flags, mode_t mode)> open = [](const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
  };
  std::function<ssize_t(int fd, const void* bytes, size_t count)> write = ::write;
  std::function<int(int fd, off_t length)> ftruncate = ::ftruncate;
  std::function<int(int fd)> fsync = ::fsync;
  std::function<int(const char* from, const char* to)> rename = ::rename;
  std::function<int(const char* path)> unlink = ::unlink;
};

class PosixFiles final : public GameFiles {
 public:
  void AllowWrites(const std::string& folder, bool below) override;
  void AllowWriteOf(const std::string& file) override;
  void RemoveStaleTemporaries(const std::string& folder) override;
  bool Exists(const std::string& path) override;
  FileIdentity Identity(const std::string& path) override;
  int ReadableError(const std::string& path) override;
  FileRead Read(const std::string& path, size_t maxBytes) override;
  FileRead ReadHead(const std::string& path, size_t maxBytes) override;
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override;
  bool Replace(const std::string& path, std::string_view bytes) override;
  bool Overwrite(const std::string& path, std::string_view bytes) override;
  bool Remove(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  int64_t FileTimeNowNs() override;

  FileSystemCalls calls;

 private:
  struct Area {
    std::string folder;
    bool below;
    std::string onlyName;  // when not empty, the one name allowed in folder
  };
  FileRead OpenForReading(const std::string& path, int& fd, struct stat& st);
  bool WriteAllowed(const std::string& path) const;
  bool ReplaceInPlace(const std::string& path, const struct stat& old, std::string_view bytes);
  std::vector<Area> areas_;
};

}  // namespace velmora
