#pragma once
// The file seam on a POSIX system.
#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace velmora {

class PosixFiles final : public GameFiles {
 public:
  void AllowWrites(const std::string& folder, bool below) override;
  void AllowWriteOf(const std::string& file) override;
  void RemoveStaleTemporaries(const std::string& folder) override;
  bool Exists(const std::string& path) override;
  FileIdentity Identity(const std::string& path) override;
  int ReadableError(const std::string& path) override;
  FileRead Read(const std::string& path, size_t maxBytes) override;
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override;
  bool Replace(const std::string& path, std::string_view bytes) override;
  bool Overwrite(const std::string& path, std::string_view bytes) override;
  bool Remove(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  int64_t FileTimeNowNs() override;

  // Told of each step that makes a replaced file last ("sync file", "rename", "sync
  // folder", with the path it acts on), for tests of their order.
  std::function<void(std::string_view step, const std::string& path)> observe;

 private:
  struct Area {
    std::string folder;
    bool below;
    std::string onlyName;  // when not empty, the one name allowed in folder
  };
  bool WriteAllowed(const std::string& path) const;
  bool ReplaceInPlace(const std::string& path, const struct stat& old, std::string_view bytes);
  void Observe(std::string_view step, const std::string& path) const {
    if (observe) observe(step, path);
  }
  std::vector<Area> areas_;
};

}  // namespace velmora
