#include "support/memory_files.h"

#include <algorithm>

#include <cerrno>
#include <filesystem>

namespace velmora::testing {

namespace {

// The one key of a path: absolute, "." and ".." worked out, no separator at the end.
std::string Key(const std::string& path) {
  const std::string absolute = path.starts_with("/") ? path : "/" + path;
  std::string full = std::filesystem::path(absolute).lexically_normal().string();
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  return full;
}

std::string Parent(const std::string& full) {
  const size_t slash = full.find_last_of('/');
  return slash == 0 ? "/" : full.substr(0, slash);
}

}  // namespace

MemoryFiles::MemoryFiles() { nodes_["/"].folder = true; }

std::string MemoryFiles::FullPath(const std::string& path) { return Key(path); }

const MemoryFiles::Node* MemoryFiles::Find(const std::string& path) const {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

void MemoryFiles::AddFolder(const std::string& path) {
  for (std::string full = Key(path); !nodes_.count(full); full = Parent(full)) nodes_[full].folder = true;
}

void MemoryFiles::Add(const std::string& path, std::string bytes) {
  const std::string full = Key(path);
  AddFolder(Parent(full));
  Write(full, bytes, true);
}

void MemoryFiles::MakeReadOnly(const std::string& path) { nodes_.at(Key(path)).writable = false; }

std::string MemoryFiles::Content(const std::string& path) const {
  const Node* node = Find(path);
  return node && !node->folder ? node->bytes : std::string();
}

bool MemoryFiles::HasFile(const std::string& path) const {
  const Node* node = Find(path);
  return node && !node->folder;
}

bool MemoryFiles::Exists(const std::string& path) { return Find(path) != nullptr; }

FileIdentity MemoryFiles::Identity(const std::string& path) {
  const Node* node = Find(path);
  if (!node) return {};
  return {true, !node->folder, node->bytes.size(), node->mtimeNs, node->inode, 1};
}

int MemoryFiles::ReadableError(const std::string& path) {
  const Node* node = Find(path);
  return !node ? ENOENT : node->folder ? EISDIR : 0;
}

FileRead MemoryFiles::ReadHead(const std::string& path, size_t maxBytes) {
  const Node* node = Find(path);
  FileRead r = Read(path, node && !node->folder ? node->bytes.size() : 0);
  if (r.status == FileRead::Status::kRead) r.bytes.resize(std::min(r.bytes.size(), maxBytes));
  return r;
}

FileRead MemoryFiles::Read(const std::string& path, size_t maxBytes) {
  FileRead r;
  const Node* node = Find(path);
  if (!node) {
    r.error = ENOENT;
  } else if (node->folder) {
    r.status = FileRead::Status::kNotRegular;
    r.error = EISDIR;
  } else if (node->bytes.size() > maxBytes) {
    r.status = FileRead::Status::kTooLarge;
    r.error = EFBIG;
  } else {
    r.status = FileRead::Status::kRead;
    r.bytes = node->bytes;
    r.identity = Identity(path);
  }
  return r;
}

bool MemoryFiles::List(const std::string& folder, std::vector<FolderEntry>& entries) {
  const std::string full = Key(folder);
  const Node* node = Find(full);
  if (!node || !node->folder) return false;
  const std::string prefix = full == "/" ? full : full + "/";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix); ++it) {
    const std::string name = it->first.substr(prefix.size());
    if (name.empty() || name.find('/') != std::string::npos) continue;
    entries.push_back({name, it->second.folder ? FileKind::kFolder : FileKind::kFile});
  }
  return true;
}

// As on disk, with no links to follow: the folder's own path decides.
void MemoryFiles::AllowWriteOf(const std::string& file) {
  const std::string full = Key(file);
  areas_.push_back({Parent(full), false, full.substr(full.find_last_of('/') + 1)});
}

bool MemoryFiles::WriteAllowed(const std::string& path) const {
  if (areas_.empty()) return true;
  const std::string full = Key(path);
  const std::string folder = Parent(full);
  for (const Area& area : areas_) {
    const std::string root = Key(area.folder);
    if (!area.onlyName.empty()) {
      if (folder == root && full.substr(full.find_last_of('/') + 1) == area.onlyName) return true;
      continue;
    }
    if (folder == root || (area.below && folder.starts_with(root == "/" ? root : root + "/"))) return true;
  }
  return false;
}

bool MemoryFiles::Write(const std::string& path, std::string_view bytes, bool newInode) {
  if (!WriteAllowed(path)) return false;
  const std::string full = Key(path);
  const Node* parent = Find(Parent(full));
  if (!parent || !parent->folder) return false;
  Node& node = nodes_[full];
  if (node.folder || !node.writable) return false;
  node.bytes = std::string(bytes);
  node.mtimeNs = FileTimeNowNs();
  if (newInode || node.inode == 0) node.inode = nextInode_++;
  return true;
}

bool MemoryFiles::Replace(const std::string& path, std::string_view bytes) { return Write(path, bytes, true); }

bool MemoryFiles::Overwrite(const std::string& path, std::string_view bytes) { return Write(path, bytes, false); }

bool MemoryFiles::Remove(const std::string& path) {
  if (!WriteAllowed(path)) return false;
  const Node* node = Find(path);
  if (!node) return true;
  if (node->folder) return false;
  nodes_.erase(Key(path));
  return true;
}

int64_t MemoryFiles::FileTimeNowNs() { return nowNs_ += 1'000'000'000; }

}  // namespace velmora::testing
