#pragma once
// The game folder as it was when first looked at: each file's identity is asked once, so
// documents read through it parse their file once and never stat it again. For tools that
// read a whole story in one go, where the check at every read (thousands of stats for a
// long story) would cost more than the reading.
#include <map>
#include <string>

#include "base/platform.h"

namespace velmora {

class SnapshotFiles final : public GameFiles {
 public:
  explicit SnapshotFiles(GameFiles& files) : files_(files) {}

  FileIdentity Identity(const std::string& path) override {
    auto it = identities_.find(path);
    if (it == identities_.end()) it = identities_.emplace(path, files_.Identity(path)).first;
    return it->second;
  }
  bool Exists(const std::string& path) override { return files_.Exists(path); }
  int ReadableError(const std::string& path) override { return files_.ReadableError(path); }
  FileRead Read(const std::string& path, size_t maxBytes) override { return files_.Read(path, maxBytes); }
  FileRead ReadHead(const std::string& path, size_t maxBytes) override { return files_.ReadHead(path, maxBytes); }
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override { return files_.List(folder, entries); }
  void AllowWrites(const std::string& folder, bool below) override { files_.AllowWrites(folder, below); }
  void AllowWriteOf(const std::string& file) override { files_.AllowWriteOf(file); }
  // Nothing is written through a snapshot.
  bool Replace(const std::string&, std::string_view) override { return false; }
  bool Overwrite(const std::string&, std::string_view) override { return false; }
  void RemoveStaleTemporaries(const std::string&) override {}
  bool Remove(const std::string&) override { return false; }
  std::string FullPath(const std::string& path) override { return files_.FullPath(path); }
  int64_t FileTimeNowNs() override { return files_.FileTimeNowNs(); }

 private:
  GameFiles& files_;
  std::map<std::string, FileIdentity> identities_;
};

}  // namespace velmora
