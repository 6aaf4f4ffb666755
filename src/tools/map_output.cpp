#include "tools/map_output.h"

#include <fstream>

#include "base/text.h"
#include "platform/dl/module_loader.h"
#include "platform/graph/graph_layout.h"

namespace velmora {

namespace {

bool EndsWith(const std::string& name, const char* suffix) {
  const std::string s = suffix;
  return name.size() >= s.size() && AsciiLower(name.substr(name.size() - s.size())) == s;
}

}  // namespace

bool LayOutGraph(const std::string& dot, const std::string& format, std::string& image, std::string& error) {
  const auto& module = RequiredModule<GraphLayoutModule>(kGraphLayoutModuleFile, kGraphLayoutModuleEntry);
  return module.render(dot, format, image, error);
}

bool WriteStoryMap(const std::string& dot, const std::string& file, std::ostream& out, std::string& error) {
  if (file.empty()) {
    out << dot;
    return true;
  }
  std::string bytes = dot;
  for (const char* format : {"svg", "png"})
    if (EndsWith(file, (std::string(".") + format).c_str()) && !LayOutGraph(dot, format, bytes, error)) return false;
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  stream << bytes;
  stream.close();
  if (!stream) {
    error = "cannot write " + file;
    return false;
  }
  return true;
}

}  // namespace velmora
