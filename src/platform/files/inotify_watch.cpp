#include "platform/files/inotify_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace velmora {

namespace {

class InotifyWatch final : public FolderWatch {
 public:
  explicit InotifyWatch(int fd) : fd_(fd) {}
  ~InotifyWatch() override { ::close(fd_); }
  InotifyWatch(const InotifyWatch&) = delete;
  InotifyWatch& operator=(const InotifyWatch&) = delete;

  bool Add(const std::string& folder) {
    const int wd = inotify_add_watch(fd_, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
    if (wd < 0) return false;
    folders_[wd] = folder;
    return true;
  }

  int Descriptor() const override { return fd_; }

  std::vector<std::string> TakeChanges() override {
    std::vector<std::string> changed;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        auto folder = folders_.find(e->wd);
        if (folder == folders_.end() || e->len == 0 || (e->mask & IN_ISDIR)) continue;
        const std::string path = folder->second + "/" + e->name;
        if (std::find(changed.begin(), changed.end(), path) == changed.end()) changed.push_back(path);
      }
    }
    return changed;
  }

 private:
  int fd_;
  std::map<int, std::string> folders_;
};

}  // namespace

std::unique_ptr<FolderWatch> WatchGameFolder(const std::string& folder) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return nullptr;
  auto watch = std::make_unique<InotifyWatch>(fd);
  std::string root = folder;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (!watch->Add(root)) return nullptr;
  // The game's files lie in the folder and one level below it (Scripts).
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root, error))
    if (entry.is_directory(error) && !entry.is_symlink(error)) watch->Add(entry.path().string());
  return watch;
}

}  // namespace velmora
