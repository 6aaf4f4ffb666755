#pragma once
// Writes a story map where the author asked for it: DOT on a stream, or a file of DOT,
// SVG or PNG (by the file's extension; SVG and PNG laid out by the Graphviz module).
#include <ostream>
#include <string>

#include "tools/story_map.h"

namespace velmora {

// `file` empty: DOT on `out`. False with the reason in `error`.
bool WriteStoryMap(const std::string& dot, const std::string& file, std::ostream& out, std::string& error);

// Lays DOT out as "svg" or "png" through the Graphviz module, loaded by the first call.
// Throws RuntimeFault when the module cannot be loaded.
bool LayOutGraph(const std::string& dot, const std::string& format, std::string& image, std::string& error);

}  // namespace velmora
