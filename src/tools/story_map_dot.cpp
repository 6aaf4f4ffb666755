// The story map as Graphviz DOT.
#include <initializer_list>
#include <string>
#include <string_view>

#include "tools/story_map.h"

namespace velmora {

namespace {

// A DOT string of the non-empty lines given: quotes and backslashes escaped, control
// characters as blanks, lines joined by DOT's line break.
void AppendQuoted(std::string& out, std::initializer_list<std::string_view> lines) {
  out += '"';
  bool first = true;
  for (std::string_view line : lines) {
    if (line.empty()) continue;
    if (!first) out += "\\n";
    first = false;
    for (char c : line) {
      if (c == '"' || c == '\\') out += '\\';
      out += static_cast<unsigned char>(c) < ' ' ? ' ' : c;
    }
  }
  out += '"';
}

// At most `chars` characters of UTF-8 text, with an ellipsis when cut.
std::string Shortened(const std::string& text, size_t chars) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (count++ == chars) return text.substr(0, i) + "…";
  }
  return text;
}

// "p<n>" for page n, "c<n>" for the marker of computed way n.
std::string NodeId(size_t n, char kind = 'p') {
  std::string id(1, kind);
  return id.append(std::to_string(n));
}

void AppendPage(std::string& out, const StoryMap& map, size_t i, const MapCoverage* coverage) {
  const MapPage& page = map.pages[i];
  out += "  " + NodeId(i) + " [label=";
  AppendQuoted(out, {page.name, page.missing ? std::string("(no such page)") : Shortened(page.firstLine, 40)});
  std::string style = "rounded";
  std::string fill;
  if (page.start) out += ", penwidth=3, color=\"#1f5fbf\"";
  if (page.ending) out += page.start ? ", peripheries=2" : ", peripheries=2, color=\"#2e7d32\"";
  if (page.deadEnd) fill = "#f4b4b4";
  if (page.missing) style += ",dashed", out += ", color=\"#c62828\"";
  if (coverage) fill = coverage->pagesShown.count(i) ? "#b9e6b0" : (page.reachable ? "#f7e0a3" : fill);
  if (!fill.empty()) style += ",filled", out += ", fillcolor=\"" + fill + "\"";
  out += ", style=\"" + style + "\"];\n";
}

}  // namespace

std::string MapToDot(const StoryMap& map, const MapCoverage* coverage) {
  std::string out = "digraph story {\n";
  out += "  graph [fontname=\"DejaVu Sans\", fontsize=10, nodesep=0.3, ranksep=0.5];\n";
  out += "  node [shape=box, fontname=\"DejaVu Sans\", fontsize=10];\n";
  out += "  edge [fontname=\"DejaVu Sans\", fontsize=8, color=\"#555555\"];\n";
  for (size_t i = 0; i < map.pages.size(); ++i)
    if (map.pages[i].reachable) AppendPage(out, map, i, coverage);
  bool apart = false;
  for (size_t i = 0; i < map.pages.size(); ++i) {
    if (map.pages[i].reachable) continue;
    if (!apart) out += "  subgraph cluster_apart {\n  label=\"nothing leads here\"; style=dashed; color=\"#999999\";\n";
    apart = true;
    AppendPage(out, map, i, coverage);
  }
  if (apart) out += "  }\n";

  for (size_t n = 0; n < map.edges.size(); ++n) {
    const MapEdge& e = map.edges[n];
    std::string to = NodeId(e.to);
    if (e.computed) {
      to = NodeId(n, 'c');
      out += "  " + to + " [label=\"computed\", shape=diamond, style=dashed, fontsize=8, color=\"#7b1fa2\"];\n";
    }
    out += "  " + NodeId(e.from) + " -> " + to + " [label=";
    AppendQuoted(out, {Shortened(e.label, 30)});
    if (e.computed) out += ", style=dashed, color=\"#7b1fa2\"";
    else if (e.kind != WayKind::kChoice) out += ", style=dotted";
    if (coverage && e.kind == WayKind::kChoice && coverage->choicesTaken.count({e.from, e.choice}))
      out += ", color=\"#2e7d32\", penwidth=2";
    out += "];\n";
  }

  out += "  subgraph cluster_legend {\n  label=\"legend\"; fontsize=9; color=\"#999999\";\n";
  out += "  node [fontsize=8];\n";
  out += "  legend_start [label=\"start page\", style=rounded, penwidth=3, color=\"#1f5fbf\"];\n";
  out += "  legend_ending [label=\"ending: a way runs $exit\", style=rounded, peripheries=2, color=\"#2e7d32\"];\n";
  out += "  legend_dead [label=\"dead end: no way on\", style=\"rounded,filled\", fillcolor=\"#f4b4b4\"];\n";
  out += "  legend_computed [label=\"computed: the target is a variable\\nor the saved page, known only at run time\", "
         "shape=diamond, style=dashed, color=\"#7b1fa2\"];\n";
  out += "  legend_timed [label=\"dotted: timed page action or fast answer\", shape=plaintext];\n";
  if (coverage) {
    out += "  legend_shown [label=\"shown by a replay\", style=\"rounded,filled\", fillcolor=\"#b9e6b0\"];\n";
    out += "  legend_unshown [label=\"reachable, never shown\", style=\"rounded,filled\", fillcolor=\"#f7e0a3\"];\n";
  }
  out += "  }\n";
  out += "}\n";
  return out;
}

}  // namespace velmora
