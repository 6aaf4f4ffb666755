#pragma once
// The player's own modules: the parts that bring many shared libraries (metafile decoding,
// the MIDI synthesiser) are built as separate libraries and loaded on first use, so a
// start-up that needs none of them does not pay for loading and relocating them.
#include <string>

#include "base/fault.h"

namespace velmora {

struct ModuleEntry {
  const void* entry = nullptr;  // what the module's entry function returned; null on failure
  std::string error;            // why the module could not be loaded
};

struct ModuleFile {
  std::string path;   // empty when the module is nowhere
  std::string error;  // then: where it was looked for
};

// Where the module file `name` (e.g. "velmora-midi.so") is: a module already linked into
// the program (tests link them) as it is; else next to the executable (the build tree),
// then in the installed module folder. Only looks, so it is quick.
ModuleFile FindModule(const std::string& name);

// Loads a module found by FindModule and calls its entry function `entrySymbol` (extern
// "C", no arguments, returning a pointer to the module's table). Modules stay loaded for
// the rest of the run.
ModuleEntry OpenModule(const ModuleFile& file, const char* entrySymbol);

inline ModuleEntry LoadModule(const std::string& name, const char* entrySymbol) {
  return OpenModule(FindModule(name), entrySymbol);
}

// The table of a module the caller cannot do without, loaded by the first call (one
// module per Table type); when it does not load, every call raises RuntimeFault with why.
template <typename Table>
const Table& RequiredModule(const char* name, const char* entrySymbol) {
  static const ModuleEntry module = LoadModule(name, entrySymbol);
  if (!module.entry) throw RuntimeFault(module.error);
  return *static_cast<const Table*>(module.entry);
}

}  // namespace velmora
