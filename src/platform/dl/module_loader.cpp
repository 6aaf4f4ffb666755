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

ModuleEntry Enter(void* library, const std::string& file, const char* entrySymbol) {
  using Entry = const void* (*)();
  auto entry = reinterpret_cast<Entry>(dlsym(library, entrySymbol));
  if (!entry) return {nullptr, "The program module " + file + " has no entry " + entrySymbol};
  return {entry(), {}};
}

}  // namespace

ModuleEntry LoadModule(const std::string& name, const char* entrySymbol) {
  if (void* linked = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD)) return Enter(linked, name, entrySymbol);

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
    if (!std::filesystem::exists(path, ec)) {
      tried += (tried.empty() ? "" : ", ") + path.string();
      continue;
    }
    // RTLD_LOCAL: a module's libraries and symbols stay its own.
    if (void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return Enter(library, path.string(), entrySymbol);
    const char* why = dlerror();
    return {nullptr, "Cannot load the program module " + path.string() + ": " + (why ? why : "unknown error")};
  }
  return {nullptr, "The program module " + name + " is missing (looked for " + tried + ")"};
}

}  // namespace velmora
