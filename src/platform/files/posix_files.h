#pragma once
// The file seam on a POSIX system.
#include "base/platform.h"

namespace velmora {

class PosixFiles final : public GameFiles {
 public:
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
};

}  // namespace velmora
