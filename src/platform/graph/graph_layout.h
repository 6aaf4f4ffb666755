#pragma once
// Graph drawing lives in a module of its own (velmora-graphviz.so): Graphviz's layout
// library and its plug-ins are loaded only when an author first asks for a drawn map.
#include <string>

namespace velmora {

struct GraphLayoutModule {
  // Lays out a graph written in DOT and renders it in `format` ("svg", "png", or "dot" for
  // DOT with the layout's positions). False with the reason in `error`.
  bool (*render)(const std::string& dot, const std::string& format, std::string& out, std::string& error);
};

constexpr const char* kGraphLayoutModuleFile = "velmora-graphviz.so";
constexpr const char* kGraphLayoutModuleEntry = "velmora_graph_layout_module";

}  // namespace velmora
