#include "platform/dl/dl_loader.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if defined(__linux__)
#include <link.h>  // ElfW: the ELF types of this process's own word size
#endif

namespace velmora {

namespace {

#if defined(__linux__)

// The folders only the system's administrator writes to, where a library's search path
// may point. Anything else, $ORIGIN above all, would let a file beside the plug-in (in
// the game folder) load as part of it without the player having approved its bytes.
bool SystemLibraryFolder(std::string_view folder) {
  for (std::string_view system : {"/lib", "/lib64", "/usr/lib", "/usr/lib64", "/usr/local/lib"}) {
    if (folder.substr(0, system.size()) != system) continue;
    if (folder.size() != system.size() && folder[system.size()] != '/') continue;
    return folder.find("/..") == std::string_view::npos && folder.find('$') == std::string_view::npos;
  }
  return false;
}

template <typename T>
bool ReadAt(std::string_view image, uint64_t offset, T& out) {
  if (offset > image.size() || image.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, image.data() + offset, sizeof(T));
  return true;
}

// Why the library could find some of its dependencies outside the system's library
// folders, or is no library of this system at all; empty when neither. Its dependencies
// are then found only by the system's own search, so the approved bytes are all of the
// plug-in that comes from the game folder.
std::string OutsideDependencies(std::string_view image) {
  const std::string notLibrary = "not a library for this system";
  ElfW(Ehdr) header;
  if (!ReadAt(image, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) return notLibrary;
#if __WORDSIZE == 64
  if (header.e_ident[EI_CLASS] != ELFCLASS64) return notLibrary;
#else
  if (header.e_ident[EI_CLASS] != ELFCLASS32) return notLibrary;
#endif
  if (header.e_phentsize != sizeof(ElfW(Phdr))) return notLibrary;
  std::vector<ElfW(Phdr)> segments;
  for (unsigned i = 0; i < header.e_phnum; ++i) {
    ElfW(Phdr) segment;
    if (!ReadAt(image, header.e_phoff + uint64_t{i} * sizeof segment, segment)) return notLibrary;
    segments.push_back(segment);
  }
  // The loader finds the string table by its address once mapped; this is its place in the file.
  auto fileOffset = [&](uint64_t address) -> std::optional<uint64_t> {
    for (const ElfW(Phdr)& s : segments)
      if (s.p_type == PT_LOAD && address >= s.p_vaddr && address - s.p_vaddr < s.p_filesz)
        return s.p_offset + (address - s.p_vaddr);
    return std::nullopt;
  };
  for (const ElfW(Phdr)& s : segments) {
    if (s.p_type != PT_DYNAMIC) continue;
    std::vector<ElfW(Dyn)> entries;
    uint64_t strings = 0, stringsSize = 0;
    for (uint64_t at = s.p_offset; at < s.p_offset + s.p_filesz; at += sizeof(ElfW(Dyn))) {
      ElfW(Dyn) entry;
      if (!ReadAt(image, at, entry)) return notLibrary;
      if (entry.d_tag == DT_NULL) break;
      if (entry.d_tag == DT_STRTAB) strings = entry.d_un.d_ptr;
      if (entry.d_tag == DT_STRSZ) stringsSize = entry.d_un.d_val;
      entries.push_back(entry);
    }
    const std::optional<uint64_t> table = fileOffset(strings);
    auto text = [&](uint64_t index) -> std::optional<std::string_view> {
      if (!table || index >= stringsSize || *table > image.size() || image.size() - *table < stringsSize)
        return std::nullopt;
      const std::string_view all = image.substr(*table, stringsSize);
      const size_t end = all.find('\0', index);
      if (end == std::string_view::npos) return std::nullopt;
      return all.substr(index, end - index);
    };
    for (const ElfW(Dyn)& entry : entries) {
      if (entry.d_tag != DT_NEEDED && entry.d_tag != DT_RPATH && entry.d_tag != DT_RUNPATH) continue;
      const std::optional<std::string_view> value = text(entry.d_un.d_val);
      if (!value) return notLibrary;
      if (entry.d_tag == DT_NEEDED) {
        if (value->find('/') != std::string_view::npos)
          return "it needs " + std::string(*value) + ", outside the system's library folders";
        continue;
      }
      std::string_view folders = *value;
      while (true) {
        const size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        if (!SystemLibraryFolder(folder))
          return "it looks for libraries in " + std::string(folder) + ", outside the system's library folders";
        if (colon == std::string_view::npos) break;
        folders.remove_prefix(colon + 1);
      }
    }
  }
  return {};
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A folder of ours that only we may enter: made 0700 if missing, and refused if it is a
// link, another user's, or open to others.
std::string PrivateFolder() {
  std::string base;
  if (const char* runtime = getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/') base = runtime;
  else if (const char* cache = getenv("XDG_CACHE_HOME"); cache && *cache == '/') base = cache;
  else if (const char* home = getenv("HOME"); home && *home == '/') base = std::string(home) + "/.cache";
  else return {};
  const std::string folder = base + "/velmora-player-plugins";
  mkdir(folder.c_str(), 0700);
  struct stat info;
  if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid() ||
      (info.st_mode & 077) != 0)
    return {};
  return folder;
}

// A library loaded from a memory file, and the file, kept open while the library is
// loaded: the system's loader knows a library by its path, and a closed descriptor's
// number, reused by the next memory file, would name the loaded library again.
struct PrivateCopy {
  void* library = nullptr;
  int memoryFile = -1;
};

// Loads the bytes from a memory file (sealed against change), or where the system has
// none, from a file of ours in the private folder, removed once it is loaded.
PrivateCopy LoadPrivateCopy(std::string_view image) {
  int fd = memfd_create("velmora-plugin", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  std::string file;
  if (fd < 0) {
    const std::string folder = PrivateFolder();
    if (folder.empty()) return {};
    file = folder + "/plugin-XXXXXX";
    fd = mkostemp(file.data(), O_CLOEXEC);
    if (fd < 0) return {};
  }
  PrivateCopy copy;
  if (WriteAll(fd, image)) {
    if (file.empty()) fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    const std::string path = file.empty() ? "/proc/self/fd/" + std::to_string(fd) : file;
    copy.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (!file.empty()) unlink(file.c_str());
  if (copy.library && file.empty()) copy.memoryFile = fd;
  else close(fd);  // a loaded library keeps its own mapping
  return copy;
}

#endif

class DlLoader : public LibraryLoader {
 public:
  // Every symbol is bound at load, so a library with unresolved references fails here
  // (and is skipped) instead of at its first call. RTLD_LOCAL keeps one plug-in's
  // exports from standing in for another's.
#if defined(__APPLE__)
  std::string_view FileSuffix() const override { return ".dylib"; }
#else
  std::string_view FileSuffix() const override { return ".so"; }
#endif
  void* Load(const std::string&, std::string_view image, std::string& refusal) override {
#if defined(__linux__)
    refusal = OutsideDependencies(image);
    if (!refusal.empty()) return nullptr;
    const PrivateCopy copy = LoadPrivateCopy(image);
    if (copy.memoryFile >= 0) memoryFiles_[copy.library] = copy.memoryFile;
    return copy.library;
#else
    (void)image;
    refusal = "plug-ins are not supported on this system";
    return nullptr;
#endif
  }
  void* Symbol(void* library, const char* name) override { return dlsym(library, name); }
  void Unload(void* library) override {
    dlclose(library);
    const auto it = memoryFiles_.find(library);
    if (it == memoryFiles_.end()) return;
    // A library still loaded (held elsewhere, or never unloadable) keeps its file's number.
    const std::string path = "/proc/self/fd/" + std::to_string(it->second);
    if (void* still = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
      dlclose(still);
      return;
    }
    close(it->second);
    memoryFiles_.erase(it);
  }

 private:
  std::map<void*, int> memoryFiles_;
};

}  // namespace

std::unique_ptr<LibraryLoader> CreateDlLoader() { return std::make_unique<DlLoader>(); }

}  // namespace velmora
