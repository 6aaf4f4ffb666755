// Text substitution: the consequences of its three ordered passes, and a comparison with
// the plain join / replace-all / split method on random tables and texts.
#include <gtest/gtest.h>

#include <random>

#include "inventory/inventory.h"
#include "base/main_window_state.h"
#include "story/page_loader.h"
#include "story/replacevars.h"
#include "story_fixture.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::Keys;
using testing::StoryTest;
using Lines = std::vector<std::string>;

// ---- The plain method, kept here as the reference ------------------------------------

std::string Join(const Lines& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

Lines Split(const std::string& text) {
  Lines lines;
  size_t p = 0;
  while (p < text.size()) {
    size_t e = p;
    while (e < text.size() && text[e] != '\r' && text[e] != '\n') ++e;
    lines.push_back(text.substr(p, e - p));
    p = e;
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
  return lines;
}

void ReplaceStep(Lines& lines, const std::string& pattern, const std::string& value) {
  const std::string text = Join(lines);
  std::string out;
  size_t from = 0, at;
  while ((at = text.find(pattern, from)) != std::string::npos) {
    out += text.substr(from, at - from) + value;
    from = at + pattern.size();
  }
  lines = Split(out + text.substr(from));
}

void LiteralReplacevars(Game& g, Lines& lines) {
  const size_t steps = g.vars->IntCount() + g.vars->StrCount() + 3 * g.inventory->Size();
  if (steps == 0) lines = Split(Join(lines));
  const VarStore& v = *g.vars;
  const Inventory& inv = *g.inventory;
  for (int i = 0; i < v.IntCount(); ++i)
    ReplaceStep(lines, "$_" + std::string(v.IntName(i)), std::to_string(v.IntValue(i)));
  for (int i = 0; i < v.StrCount(); ++i) ReplaceStep(lines, "$_" + std::string(v.StrName(i)), std::string(v.StrValue(i)));
  for (int i = 0; i < inv.Size(); ++i) {
    const std::string name(inv.Name(i));
    ReplaceStep(lines, "$cm_" + name, std::to_string(inv.MaxCount(i)));
    ReplaceStep(lines, "$c_" + name, std::to_string(inv.Count(i)));
    ReplaceStep(lines, "$d_" + name, std::string(inv.DisplayName(i)));
  }
}

// ---- Tables --------------------------------------------------------------------------

struct Item {
  std::string name, display;
  int count, maxCount;
};

class ReplacevarsTest : public StoryTest {
 protected:
  void WriteItems(const std::vector<Item>& items) {
    std::string text = "[Inventory]\r\nTotalItems=" + std::to_string(items.size()) + "\r\n";
    for (size_t i = 0; i < items.size(); ++i) {
      text += "[Item" + std::to_string(i) + "]\r\nName=" + items[i].name + "\r\nDisplayName=" + items[i].display +
              "\r\nCount=" + std::to_string(items[i].count) + "\r\nMaxCount=" + std::to_string(items[i].maxCount) +
              "\r\nEnabled=1\r\n";
    }
    t.dir.Write("Scripts/inventory.inv", text);
  }
  // The page text: one pass over the whole text after every appended line.
  void ExpectPageLikeThePlainMethod(Game& g, Lines lines) {
    Keys page = {{"textsize", std::to_string(lines.size())}};
    Lines expected;
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string& line = lines[i];
      while (!line.empty() && line.front() == ' ') line.erase(0, 1);  // as the story file reads it
      while (!line.empty() && line.back() == ' ') line.pop_back();
      page.emplace_back("Line" + std::to_string(i), line);
      expected.push_back(line);
      LiteralReplacevars(g, expected);
    }
    WriteStory({{"p", page}});
    LoadPageText(g, "p");
    EXPECT_EQ(g.mainWindow->storyLines, expected) << ::testing::PrintToString(page);
  }
  Game& MakeWith(const std::vector<Item>& items) {
    WriteItems(items);
    Game& g = Make();
    LoadDefinitions(g);
    return g;
  }
};

Lines Substituted(Game& g, Lines lines) {
  Replacevars(g, lines);
  return lines;
}

TEST_F(ReplacevarsTest, ConsequencesOfThePassOrder) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, int>> ints;
    std::vector<std::pair<std::string, std::string>> strs;
    Lines text;
    Lines expected;
  };
  const Case cases[] = {
      {"negative value", {{"lives", -7}}, {}, {"Lives: $_lives"}, {"Lives: -7"}},
      {"integer wins over string", {{"key", 1}}, {{"key", "str"}}, {"$_key"}, {"1"}},
      {"shorter name first eats the longer", {{"gold", 5}, {"goldfish", 9}}, {}, {"$_goldfish"}, {"5fish"}},
      {"longer name first", {{"goldfish", 9}, {"gold", 5}}, {}, {"$_goldfish $_gold"}, {"9 5"}},
      {"letters after a name", {{"hp", 3}}, {}, {"$_hpmax"}, {"3max"}},
      {"unknown reference stays", {{"hp", 3}}, {}, {"$_mp and $hp"}, {"$_mp and $hp"}},
      {"empty name takes every $_", {}, {{"", "X"}}, {"$_a $_ $c_b"}, {"Xa X $c_b"}},
      {"value brings a later string variable", {}, {{"a", "<$_b>"}, {"b", "B"}}, {"$_a"}, {"<B>"}},
      {"value brings an earlier string variable", {}, {{"b", "B"}, {"a", "<$_b>"}}, {"$_a"}, {"<$_b>"}},
      {"value brings an integer variable", {{"n", 4}}, {{"a", "$_n"}}, {"$_a"}, {"$_n"}},
      {"a value completes a reference", {}, {{"x", "$"}, {"y", "Y"}}, {"$_x_y"}, {"Y"}},
      {"an empty value joins a reference", {}, {{"e", ""}, {"z", "Z"}}, {"$$_e_z"}, {"Z"}},
      {"no reference spans lines", {}, {{"ab", "AB"}}, {"$_a", "b"}, {"$_a", "b"}},
      {"a name with a line break spans lines", {}, {{"a\r\nb", "AB"}}, {"x$_a", "by"}, {"xABy"}},
      {"a name that takes half a line end", {}, {{"a\r", "$_"}, {"\r\nb", "W"}}, {"$_a", "b"}, {"W"}},
      {"line break in a value", {}, {{"v", "1\r\n2\n3"}}, {"<$_v>"}, {"<1", "2", "3>"}},
      {"line break at the end", {}, {{"v", "end\r\n"}}, {"$_v"}, {"end", ""}},
      {"empty line stays one line", {}, {}, {""}, {""}},
      {"no lines", {{"a", 1}}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Game& g = Make();
    for (const auto& [name, value] : c.ints) g.vars->NewIntVar(name, value);
    for (const auto& [name, value] : c.strs) g.vars->NewStrVar(name, value);
    EXPECT_EQ(Substituted(g, c.text), c.expected);
  }
}

TEST_F(ReplacevarsTest, ItemReferences) {
  Game& g = MakeWith({{"key", "Rusty key", 2, 5}, {"keyring", "Key ring", 1, 1}, {"lamp", "Oil lamp", 1, 3}});
  g.vars->NewStrVar("about", "$c_lamp");
  EXPECT_EQ(Substituted(g, {"$c_key/$cm_key $d_key", "$cm_keyring $d_keyring", "$_about", "$c_torch $C_lamp"}),
            (Lines{"2/5 Rusty key", "5ring Rusty keyring", "1", "$c_torch $C_lamp"}));
}

// A reference into the inventory before any item is defined stays as written.
TEST_F(ReplacevarsTest, ItemReferenceBeforeDefinitionsStays) {
  Game& g = Make();
  EXPECT_EQ(Substituted(g, {"You have $c_coin coins."}), (Lines{"You have $c_coin coins."}));
}

// Values are read at every call; names may be added between calls.
TEST_F(ReplacevarsTest, EveryCallSeesTheTablesAsTheyAreNow) {
  Game& g = Make();
  g.vars->NewIntVar("gold", 1);
  EXPECT_EQ(Substituted(g, {"$_gold $_goldfish"}), (Lines{"1 1fish"}));
  g.vars->SetIntValue(g.vars->FindVar("gold", false), 2);
  g.vars->NewStrVar("goldfish", "carp");
  EXPECT_EQ(Substituted(g, {"$_gold $_goldfish"}), (Lines{"2 2fish"}));
  g.vars->NewIntVar("goldfish", 7);  // an integer variable after gold: gold still comes first
  EXPECT_EQ(Substituted(g, {"$_goldfish"}), (Lines{"2fish"}));
}

// ---- Random tables and texts against the plain method --------------------------------

class Randomizer {
 public:
  explicit Randomizer(uint32_t seed) : rng_(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  template <size_t N>
  std::string Pieces(const char* const (&pieces)[N], int most) {
    std::string s;
    for (int n = Int(0, most); n > 0; --n) s += pieces[Int(0, N - 1)];
    return s;
  }
  std::string Name() {
    static const char* const kNamePieces[] = {"a", "b", "1", "$", "_", "c", "m", "d", "ab"};
    return Pieces(kNamePieces, 3);
  }
  // A name that may reach across lines (or take half of a line end).
  std::string NameWithLineBreaks() {
    static const char* const kNamePieces[] = {"a", "b", "$", "_", "\r\n", "\r", "\n"};
    return Pieces(kNamePieces, 4);
  }
  std::string Text(bool lineBreaks) {
    static const char* const kWith[] = {"a", "b", "1", "$", "_", "$_", "$c_", "$cm_", "$d_", "x", " ", "\r\n", "\n", "\r"};
    static const char* const kWithout[] = {"a", "b", "1", "$", "_", "$_", "$c_", "$cm_", "$d_", "x", " "};
    return lineBreaks ? Pieces(kWith, 8) : Pieces(kWithout, 8);
  }

 private:
  std::mt19937 rng_;
};

TEST_F(ReplacevarsTest, EqualsThePlainMethodOnRandomTables) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Randomizer r(seed);
    std::vector<Item> items;
    for (int n = r.Int(0, 4); n > 0; --n) items.push_back({r.Name(), r.Text(false), r.Int(-3, 30), r.Int(0, 30)});
    Game& g = MakeWith(items);
    for (int n = r.Int(0, 6); n > 0; --n) g.vars->NewIntVar(r.Name(), r.Int(-15, 15));
    for (int n = r.Int(0, 6); n > 0; --n) g.vars->NewStrVar(r.Name(), r.Text(true));
    if (seed % 10 == 0) g.vars->NewStrVar("a\nb", "$_a");  // a name that reaches across lines

    for (int k = 0; k < 5; ++k) {
      Lines text;
      for (int n = r.Int(0, 4); n > 0; --n) text.push_back(r.Text(k == 4));
      Lines expected = text;
      LiteralReplacevars(g, expected);
      EXPECT_EQ(Substituted(g, text), expected) << "text: " << ::testing::PrintToString(text);
    }

    Lines page;
    for (int i = 0; i < 6; ++i) page.push_back(r.Text(false));
    ExpectPageLikeThePlainMethod(g, page);
  }
}

// Names that hold line breaks reach across lines: the page text, built line by line,
// must still equal the plain method's.
TEST_F(ReplacevarsTest, NamesWithLineBreaksEqualThePlainMethod) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Randomizer r(seed);
    std::vector<Item> items;
    for (int n = r.Int(0, 2); n > 0; --n) items.push_back({r.NameWithLineBreaks(), r.Text(false), r.Int(0, 9), 9});
    Game& g = MakeWith(items);
    for (int n = r.Int(0, 3); n > 0; --n) g.vars->NewIntVar(r.NameWithLineBreaks(), r.Int(-15, 15));
    for (int n = r.Int(1, 4); n > 0; --n) g.vars->NewStrVar(r.NameWithLineBreaks(), r.Text(true));
    g.vars->NewStrVar("a\r\nb", r.Text(false));

    for (int k = 0; k < 3; ++k) {
      Lines text;
      for (int n = r.Int(0, 4); n > 0; --n) text.push_back(r.Text(k == 2));
      Lines expected = text;
      LiteralReplacevars(g, expected);
      EXPECT_EQ(Substituted(g, text), expected) << "text: " << ::testing::PrintToString(text);
    }

    Lines page;
    for (int i = r.Int(1, 12); i > 0; --i) {
      std::string line = r.Text(false);
      if (r.Int(0, 2) == 0) line += "$_a";  // half a reference, which the next line may finish
      if (r.Int(0, 2) == 0) line = "b" + line;
      page.push_back(line);
    }
    ExpectPageLikeThePlainMethod(g, page);
  }
}

}  // namespace
}  // namespace velmora
