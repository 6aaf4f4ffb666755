// The story map over small hand-made games, one for each way a page can lead on.
#include "tools/story_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_game.h"
#include "tools/map_output.h"

namespace velmora {
namespace {

// A page: its section name and the keys after the header.
struct Page {
  std::string name;
  std::string keys;
};

std::string Story(const std::vector<Page>& pages) {
  std::string story;
  for (const Page& p : pages) {
    story += "[" + p.name + "]\r\n" + p.keys;
    if (p.keys.rfind("Line0=", 0) != 0 && p.keys.find("\nLine0=") == std::string::npos) story += "Line0=first line of " + p.name + "\r\n";
  }
  return story;
}

StoryMap MapOf(const testing::TempDir& dir, const std::vector<Page>& pages, const std::string& scripts,
               const std::string& inventory = "") {
  dir.Write("config.ini", "[Start]\r\nStartPage=a\r\n");
  dir.Write("story.qst", Story(pages));
  dir.Write("Scripts/Scripts.bsf", scripts);
  if (!inventory.empty()) dir.Write("Scripts/inventory.inv", inventory);
  return BuildStoryMap(dir.path().string() + "/");
}

// "a->b:label", "a->?:label" for a computed way; then the marks: "a:start", "b:ending",
// "c:dead end", "d:apart", "e:missing".
std::vector<std::string> Described(const StoryMap& map) {
  std::vector<std::string> out;
  for (const MapEdge& e : map.edges)
    out.push_back(map.pages[e.from].name + "->" + (e.computed ? "?" : map.pages[e.to].name) + ":" + e.label);
  for (const MapPage& p : map.pages) {
    if (p.start) out.push_back(p.name + ":start");
    if (p.ending) out.push_back(p.name + ":ending");
    if (p.deadEnd) out.push_back(p.name + ":dead end");
    if (!p.reachable) out.push_back(p.name + ":apart");
    if (p.missing) out.push_back(p.name + ":missing");
  }
  return out;
}

const std::string kChoice = "ActionsCount=1\r\nAction0.Script=go\r\nAction0.LinesCount=2\r\n"
                            "Action0.Line0=Say \"yes\"\r\nAction0.Line1=and go\r\n";

TEST(StoryMapTest, EachWayAPageCanLeadOn) {
  const struct {
    const char* way;
    std::vector<Page> pages;
    std::string scripts;
    std::vector<std::string> expected;
  } cases[] = {
      {"a choice, its lines joined and without quotes",
       {{"a", kChoice}, {"b", ""}},
       "___script go $goto b ___end",
       {"a->b:Say yes and go", "a:start", "b:dead end"}},
      {"a timed page action",
       {{"a", "Page.Cutscene=1\r\nPage.Delay=10\r\nPage.Action=$GOTO\r\nPage.Param=b\r\n"}, {"b", ""}},
       "",
       {"a->b:timed", "a:start", "b:dead end"}},
      {"a timed page action that runs a script",
       {{"a", "Page.Cutscene=1\r\nPage.Action=$run\r\nPage.Param=go\r\n"}, {"b", ""}},
       "___script go $goto b ___end",
       {"a->b:timed", "a:start", "b:dead end"}},
      {"a fast answer",
       {{"a", "Page.RequireFastAnswer=1\r\nPage.AnswerTime=5\r\nPage.FastScript=late\r\n"}, {"b", ""}},
       "___script late $goto b ___end",
       {"a->b:fast answer", "a:start", "b:dead end"}},
      {"a $run chain through two scripts",
       {{"a", kChoice}, {"b", ""}},
       "___script go $run step1 ___end ___script step1 $RUN step2 ___end ___script step2 $goto b ___end",
       {"a->b:Say yes and go", "a:start", "b:dead end"}},
      {"a label, run in the script that jumps; its range is not run where it is defined",
       {{"a", kChoice}, {"b", ""}, {"c", ""}},
       "___script go .label L $goto b .end $jump L ___end ___script other .label never $goto c .end ___end",
       {"a->b:Say yes and go", "a:start", "b:dead end", "c:dead end", "c:apart"}},
      {"both outcomes of a test, and the argument a failed test turns into a command",
       {{"a", kChoice}, {"b", ""}, {"c", ""}, {"d", ""}},
       "___script go $int.equal x 1 $goto b $goto c $int.equal x 2 $string.set s $goto d ___end",
       {"a->b:Say yes and go", "a->c:Say yes and go", "a->d:Say yes and go", "a:start", "b:dead end", "c:dead end",
        "d:dead end"}},
      {"a loop body and what follows the loop",
       {{"a", kChoice}, {"b", ""}, {"c", ""}},
       "___script go $while $int.smallerthan i 3 $goto b $goto c ___end",
       {"a->b:Say yes and go", "a->c:Say yes and go", "a:start", "b:dead end", "c:dead end"}},
      {"a target in a string variable is computed; so is the saved page",
       {{"a", kChoice + "Page.Cutscene=1\r\nPage.Action=$load\r\n"}},
       "___script go $string.set where b $goto where $run where ___end",
       {"a->?:Say yes and go", "a->?:timed", "a:start"}},
      {"an ending: a way that runs $exit, through an item's script",
       {{"a", kChoice}, {"b", "ActionsCount=1\r\nAction0.Script=use\r\n"}},
       "___script go $goto b ___end ___script use $inventory.Use key ___end ___script turn $exit ___end",
       {"a->b:Say yes and go", "a:start", "b:ending"}},
      {"a dead end: a choice whose script goes nowhere, after an \"end\" that stops the run",
       {{"a", kChoice}, {"b", ""}},
       "___script go $int.set x 1 end $goto b ___end",
       {"a:start", "a:dead end", "b:dead end", "b:apart"}},
      {"a page named but never written",
       {{"a", kChoice}},
       "___script go $goto nowhere ___end",
       {"a->nowhere:Say yes and go", "a:start", "nowhere:missing"}},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    const StoryMap map = MapOf(dir, c.pages, c.scripts,
                               "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=key\r\nScript=turn\r\n");
    std::vector<std::string> expected = c.expected;
    EXPECT_EQ(Described(map), expected) << c.way;
  }
}

TEST(StoryMapTest, DotMarksPagesDrawsApartWhatNothingReachesAndEscapesText) {
  testing::TempDir dir;
  const StoryMap map = MapOf(dir, {{"a", kChoice}, {"b", ""}, {"lost", ""}},
                             "___script go $goto b $goto b2 ___end");
  const std::string dot = MapToDot(map);
  EXPECT_NE(dot.find("p0 [label=\"a\\nfirst line of a\", penwidth=3"), std::string::npos) << dot;
  EXPECT_NE(dot.find("p0 -> p1 [label=\"Say yes and go\"]"), std::string::npos) << dot;
  const size_t apart = dot.find("subgraph cluster_apart");
  ASSERT_NE(apart, std::string::npos) << dot;
  EXPECT_GT(dot.find("label=\"lost\\n"), apart);
  EXPECT_NE(dot.find("b2\\n(no such page)"), std::string::npos) << dot;
  EXPECT_NE(dot.find("computed: the target is a variable"), std::string::npos);
}

TEST(StoryMapTest, DotEscapesQuotesAndBackslashesInNamesAndLines) {
  testing::TempDir dir;
  const StoryMap map = MapOf(dir, {{"a", "Line0=\\ and \"x\"\r\n"}}, "");
  const std::string dot = MapToDot(map);
  EXPECT_NE(dot.find("label=\"a\\n\\\\ and \\\"x\\\"\""), std::string::npos) << dot;
}

TEST(StoryMapTest, CoverageColoursShownPagesAndTakenChoices) {
  testing::TempDir dir;
  const StoryMap map = MapOf(dir, {{"a", kChoice}, {"b", ""}}, "___script go $goto b ___end");
  MapCoverage covered;
  covered.pagesShown = {0};
  covered.choicesTaken = {{0, 0}};
  const std::string dot = MapToDot(map, &covered);
  EXPECT_NE(dot.find("p0 -> p1 [label=\"Say yes and go\", color=\"#2e7d32\", penwidth=2]"), std::string::npos) << dot;
  EXPECT_NE(dot.find("fillcolor=\"#b9e6b0\""), std::string::npos);  // a, shown
  EXPECT_NE(dot.find("fillcolor=\"#f7e0a3\""), std::string::npos);  // b, reachable, never shown
}

TEST(StoryMapTest, TheGraphvizModuleLaysTheMapOutAsSvgAndRefusesBrokenDot) {
  testing::TempDir dir;
  const std::string dot = MapToDot(MapOf(dir, {{"a", kChoice}, {"b", ""}}, "___script go $goto b ___end"));
  std::string svg, error;
  ASSERT_TRUE(LayOutGraph(dot, "svg", svg, error)) << error;
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("first line of b"), std::string::npos);
  std::string png;
  ASSERT_TRUE(LayOutGraph(dot, "png", png, error)) << error;
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_FALSE(LayOutGraph("digraph { a -> ", "svg", svg, error));
  EXPECT_NE(error.find("could not be read"), std::string::npos) << error;
}

TEST(StoryMapTest, ALongStoryIsPlacedByTheMapAndOnlyDrawnByGraphviz) {
  std::vector<Page> pages;
  std::string scripts;
  auto named = [](const char* prefix, int n) { return std::string(prefix).append(std::to_string(n)); };
  for (int p = 0; p < 400; ++p) {
    pages.push_back({named("n", p), p < 399 ? "ActionsCount=1\r\nAction0.Script=" + named("s", p) + "\r\n" : ""});
    scripts += "___script " + named("s", p) + " $goto " + named("n", p + 1) + " $string.set v x $goto v ___end ";
  }
  testing::TempDir dir;
  dir.Write("config.ini", "[Start]\r\nStartPage=n0\r\n");
  dir.Write("story.qst", Story(pages));
  dir.Write("Scripts/Scripts.bsf", scripts);
  const std::string dot = MapToDot(BuildStoryMap(dir.path().string() + "/"));
  EXPECT_NE(dot.find("layout=nop2"), std::string::npos);
  EXPECT_NE(dot.find("p0 [pos=\"0,0!\", label=\"n0"), std::string::npos);
  EXPECT_NE(dot.find("p1 [pos=\"0,-110!\", label=\"n1"), std::string::npos);  // a row further from the start
  std::string svg, error;
  ASSERT_TRUE(LayOutGraph(dot, "svg", svg, error)) << error;  // every node, computed markers and legend placed
  EXPECT_NE(svg.find("first line of n399"), std::string::npos);
}

}  // namespace
}  // namespace velmora
