// Layout and rendering by Graphviz (libgvc, the dot layout).
#include <graphviz/gvc.h>

#include <mutex>

#include "platform/graph/graph_layout.h"

namespace velmora {

namespace {

std::mutex gvLock;  // Graphviz keeps global state: one layout at a time
std::string lastError;

int KeepError(char* message) {
  lastError += message;
  return 0;
}

bool Render(const std::string& dot, const std::string& format, std::string& out, std::string& error) {
  std::lock_guard<std::mutex> hold(gvLock);
  static GVC_t* context = [] {
    agseterrf(KeepError);
    agseterr(AGERR);
    return gvContext();
  }();
  lastError.clear();
  Agraph_t* graph = agmemread(dot.c_str());
  if (!graph) {
    error = "the graph could not be read" + (lastError.empty() ? std::string() : ": " + lastError);
    return false;
  }
  // A graph that places its nodes itself names the engine that only routes ("nop2").
  const char* engine = agget(graph, const_cast<char*>("layout"));
  bool ok = gvLayout(context, graph, engine && *engine ? engine : "dot") == 0;
  if (ok) {
    char* data = nullptr;
    unsigned int length = 0;
    ok = gvRenderData(context, graph, format.c_str(), &data, &length) == 0;
    if (ok) out.assign(data, length);
    gvFreeRenderData(data);
    gvFreeLayout(context, graph);
  }
  agclose(graph);
  if (!ok) error = "Graphviz could not lay out or render the graph as " + format +
                   (lastError.empty() ? std::string() : ": " + lastError);
  return ok;
}

}  // namespace

}  // namespace velmora

extern "C" __attribute__((visibility("default"))) const void* velmora_graph_layout_module() {
  static const velmora::GraphLayoutModule table{&velmora::Render};
  return &table;
}
