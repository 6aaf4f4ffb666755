#include "platform/dl/module_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace velmora {

namespace {

std::filesystem::path ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

ModuleFile FindModule(const std::string& name) {
  if (dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD)) return {name, {}};

  const std::filesystem::path exeFolder = ExecutableFolder();
  std::vector<std::filesystem::path> candidates;
  if (!exeFolder.empty()) {
    candidates.push_back(exeFolder / name);
    candidates.push_back((exeFolder / VELMORA_MODULE_DIR_FROM_BINDIR / name).lexically_normal());
  }
  candidates.push_back(std::filesystem::path(VELMORA_MODULE_DIR) / name);
  std::string tried;
  for (const auto& path : candidates) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return {path.string(), {}};
    tried += (tried.empty() ? "" : ", ") + path.string();
  }
  return {{}, "The program module " + name + " is missing (looked for " + tried + ")"};
}

ModuleEntry OpenModule(const ModuleFile& file, const char* entrySymbol) {
  if (file.path.empty()) return {nullptr, file.error};
  // RTLD_LOCAL: a module's libraries and symbols stay its own.
  void* library = dlopen(file.path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    return {nullptr, "Cannot load the program module " + file.path + ": " + (why ? why : "unknown error")};
  }
  using Entry = const void* (*)();
  auto entry = reinterpret_cast<Entry>(dlsym(library, entrySymbol));
  if (!entry) return {nullptr, "The program module " + file.path + " has no entry " + entrySymbol};
  return {entry(), {}};
}

}  // namespace velmora
