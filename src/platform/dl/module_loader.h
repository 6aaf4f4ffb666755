#pragma once
// The player's own modules: the parts that bring many shared libraries (metafile decoding,
// the MIDI synthesiser) are built as separate libraries and loaded on first use, so a
// start-up that needs none of them does not pay for loading and relocating them.
#include <string>

namespace velmora {

struct ModuleEntry {
  const void* entry = nullptr;  // what the module's entry function returned; null on failure
  std::string error;            // why the module could not be loaded
};

// Loads the module file `name` (e.g. "velmora-midi.so") and calls its entry function
// `entrySymbol` (extern "C", no arguments, returning a pointer to the module's table).
// A module already linked into the program (tests link them) is used as it is; else it is
// looked for next to the executable (the build tree), then in the installed module folder.
// Modules stay loaded for the rest of the run.
ModuleEntry LoadModule(const std::string& name, const char* entrySymbol);

}  // namespace velmora
