#include "platform/dl/dl_loader.h"

#include <dlfcn.h>

namespace velmora {

namespace {

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
  void* Load(const std::string& path) override { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
  void* Symbol(void* library, const char* name) override { return dlsym(library, name); }
  void Unload(void* library) override { dlclose(library); }
};

}  // namespace

std::unique_ptr<LibraryLoader> CreateDlLoader() { return std::make_unique<DlLoader>(); }

}  // namespace velmora
