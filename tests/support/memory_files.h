#pragma once
// A game folder held in memory behind the file seam, so a test can run the core without
// a disk: paths are absolute below "/" (a relative path is taken from "/"), names keep
// their letter case, and listing order is byte order. Time moves one second per call to
// FileTimeNowNs, and every write stamps the file with it.
#include <map>
#include <vector>
#include <string>

#include "base/platform.h"

namespace velmora::testing {

class MemoryFiles final : public GameFiles {
 public:
  MemoryFiles();
  // Creates or replaces a file, with any folders above it.
  void Add(const std::string& path, std::string bytes);
  void AddFolder(const std::string& path);
  // A file without its owner's write permission.
  void MakeReadOnly(const std::string& path);
  // The file's bytes; empty when there is none.
  std::string Content(const std::string& path) const;
  bool HasFile(const std::string& path) const;

  void AllowWrites(const std::string& folder, bool below) override {
    for (const Area& area : areas_)
      if (area.folder == folder && area.below == below) return;
    areas_.push_back({folder, below, {}});
  }
  void AllowWriteOf(const std::string& file) override;
  void RemoveStaleTemporaries(const std::string&) override {}  // no write is ever cut short here
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

 private:
  struct Node {
    bool folder = false;
    bool writable = true;
    std::string bytes;
    int64_t mtimeNs = 0;
    uint64_t inode = 0;
  };
  const Node* Find(const std::string& path) const;
  bool Write(const std::string& path, std::string_view bytes, bool newInode);
  bool WriteAllowed(const std::string& path) const;
  struct Area {
    std::string folder;
    bool below;
    std::string onlyName;  // when not empty, the one name allowed in folder
  };
  std::vector<Area> areas_;

  std::map<std::string, Node> nodes_;  // by full path, "/" for the root
  int64_t nowNs_ = int64_t{1'700'000'000} * 1'000'000'000;
  uint64_t nextInode_ = 1;
};

}  // namespace velmora::testing
