// The story map as Graphviz DOT.
#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

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

// From this many pages on, the map places its pages itself and Graphviz only routes and
// draws: dot's own placement of a long story takes minutes (its coordinate pass runs over
// a virtual node for every rank an edge crosses).
constexpr size_t kPlacedFrom = 400;
constexpr int kColumn = 320, kRow = 110, kRowWidth = 12;

std::string Pos(int x, int y) { return "pos=\"" + std::to_string(x) + "," + std::to_string(y) + "!\", "; }

// Rows by the distance from the start page (pages nothing reaches below them), at most
// kRowWidth a row; within a row, ordered by the mean column of the pages leading in.
std::vector<std::pair<int, int>> PlacePages(const StoryMap& map) {
  const size_t n = map.pages.size();
  std::vector<int> depth(n, -1);
  std::vector<std::vector<size_t>> out(n), in(n);
  for (const MapEdge& e : map.edges)
    if (!e.computed) out[e.from].push_back(e.to), in[e.to].push_back(e.from);
  std::vector<size_t> queue{map.startPage};
  depth[map.startPage] = 0;
  for (size_t q = 0; q < queue.size(); ++q)
    for (size_t to : out[queue[q]])
      if (depth[to] < 0) depth[to] = depth[queue[q]] + 1, queue.push_back(to);
  int deepest = 0;
  for (int d : depth) deepest = std::max(deepest, d);
  std::vector<std::vector<size_t>> layers(static_cast<size_t>(deepest) + 2);
  for (size_t i = 0; i < n; ++i) layers[depth[i] < 0 ? layers.size() - 1 : static_cast<size_t>(depth[i])].push_back(i);
  std::vector<double> column(n, 0);
  std::vector<std::pair<int, int>> pos(n);
  int row = 0;
  for (auto& layer : layers) {
    std::vector<std::pair<double, size_t>> order;
    for (size_t i : layer) {
      double sum = 0;
      size_t count = 0;
      for (size_t from : in[i])
        if (depth[from] >= 0 && depth[from] < depth[i]) sum += column[from], ++count;
      order.emplace_back(count ? sum / static_cast<double>(count) : static_cast<double>(i), i);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t k = 0; k < order.size(); ++k) {
      if (k > 0 && k % kRowWidth == 0) ++row;
      const int x = static_cast<int>(k % kRowWidth) * kColumn;
      column[order[k].second] = x;
      pos[order[k].second] = {x, -row * kRow};
    }
    if (!order.empty()) ++row;
  }
  return pos;
}

void AppendPage(std::string& out, const StoryMap& map, size_t i, const MapCoverage* coverage, const std::string& pos) {
  const MapPage& page = map.pages[i];
  out += "  " + NodeId(i) + " [" + pos + "label=";
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
  const bool placed = map.pages.size() >= kPlacedFrom;
  const std::vector<std::pair<int, int>> places = placed ? PlacePages(map) : std::vector<std::pair<int, int>>();
  std::vector<std::string> pos(map.pages.size());
  for (size_t i = 0; i < places.size(); ++i) pos[i] = Pos(places[i].first, places[i].second);
  std::string out = "digraph story {\n";
  out += "  graph [fontname=\"DejaVu Sans\", fontsize=10, nodesep=0.3, ranksep=0.5";
  out += placed ? ", layout=nop2, splines=line];\n" : "];\n";
  out += "  node [shape=box, fontname=\"DejaVu Sans\", fontsize=10];\n";
  out += "  edge [fontname=\"DejaVu Sans\", fontsize=8, color=\"#555555\"];\n";
  for (size_t i = 0; i < map.pages.size(); ++i)
    if (map.pages[i].reachable) AppendPage(out, map, i, coverage, pos[i]);
  bool apart = false;
  for (size_t i = 0; i < map.pages.size(); ++i) {
    if (map.pages[i].reachable) continue;
    if (!apart) out += "  subgraph cluster_apart {\n  label=\"nothing leads here\"; style=dashed; color=\"#999999\";\n";
    apart = true;
    AppendPage(out, map, i, coverage, pos[i]);
  }
  if (apart) out += "  }\n";

  for (size_t n = 0; n < map.edges.size(); ++n) {
    const MapEdge& e = map.edges[n];
    std::string to = NodeId(e.to);
    if (e.computed) {
      to = NodeId(n, 'c');
      const std::string at = placed ? Pos(places[e.from].first + kColumn / 2, places[e.from].second - kRow / 2) : "";
      out += "  " + to + " [" + at + "label=\"computed\", shape=diamond, style=dashed, fontsize=8, color=\"#7b1fa2\"];\n";
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
  int legendRow = 0;
  auto at = [&] { return placed ? Pos(-2 * kColumn, -kRow * legendRow++ / 2) : std::string(); };
  out += "  legend_start [" + at() + "label=\"start page\", style=rounded, penwidth=3, color=\"#1f5fbf\"];\n";
  out += "  legend_ending [" + at() + "label=\"ending: a way runs $exit\", style=rounded, peripheries=2, color=\"#2e7d32\"];\n";
  out += "  legend_dead [" + at() + "label=\"dead end: no way on\", style=\"rounded,filled\", fillcolor=\"#f4b4b4\"];\n";
  out += "  legend_computed [" + at() + "label=\"computed: the target is a variable\\nor the saved page, known only at run time\", "
         "shape=diamond, style=dashed, color=\"#7b1fa2\"];\n";
  out += "  legend_timed [" + at() + "label=\"dotted: timed page action or fast answer\", shape=plaintext];\n";
  if (coverage) {
    out += "  legend_shown [" + at() + "label=\"shown by a replay\", style=\"rounded,filled\", fillcolor=\"#b9e6b0\"];\n";
    out += "  legend_unshown [" + at() + "label=\"reachable, never shown\", style=\"rounded,filled\", fillcolor=\"#f7e0a3\"];\n";
  }
  out += "  }\n";
  out += "}\n";
  return out;
}

}  // namespace velmora
