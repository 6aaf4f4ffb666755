// The variable store: lookups, creation, the 255-byte cuts, the sets, and the memory
// form that plug-ins read and write.
#include "vars/var_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/fault.h"

namespace velmora {
namespace {

using Texts = std::vector<std::string>;

class VarStoreTest : public ::testing::Test {
 protected:
  // Log messages after the date and time.
  Texts Messages() const {
    Texts out;
    for (const auto& l : log.Lines()) out.push_back(l.substr(24));
    return out;
  }
  TIntVar* Ints() { return *static_cast<TIntArray*>(vars.IntVarsAddress()); }
  TStrVar* Strs() { return *static_cast<TStrArray*>(vars.StrVarsAddress()); }

  StartupLog log;
  VarStore vars {log};
};

TEST_F(VarStoreTest, EmptyStoreFindsNothing) {
  EXPECT_EQ(vars.FindVar("x", false), -1);
  EXPECT_EQ(vars.FindVar("x", true), -1);
  EXPECT_EQ(vars.FindVar("", false), -1);
  EXPECT_EQ(vars.IntSetFind(0), -1);
  EXPECT_EQ(vars.StrSetFind(""), -1);
  EXPECT_EQ(Ints(), nullptr);  // an empty dynamic array is nil
  EXPECT_EQ(Strs(), nullptr);
}

TEST_F(VarStoreTest, NamesAreExactAndTheTwoTablesSeparate) {
  vars.NewIntVar("Gold", 1);
  vars.NewIntVar("gold", 2);
  vars.NewIntVar("key", 5);
  vars.NewStrVar("key", "door");
  vars.NewIntVar("", 9);  // the empty name is a name like any other
  EXPECT_EQ(vars.FindVar("Gold", false), 0);
  EXPECT_EQ(vars.FindVar("gold", false), 1);
  EXPECT_EQ(vars.FindVar("GOLD", false), -1);
  EXPECT_EQ(vars.FindVar("", false), 3);
  EXPECT_EQ(vars.IntOperand("key"), 5);
  EXPECT_EQ(vars.StrOperand("key"), "door");
  EXPECT_EQ(vars.StrOperand("Gold"), "Gold");
  EXPECT_EQ(vars.IntOperand("12"), 12);
  vars.NewIntVar("12", 40);
  EXPECT_EQ(vars.IntOperand("12"), 40);  // a variable hides the literal
  EXPECT_THROW(vars.IntOperand("door"), RuntimeFault);
}

TEST_F(VarStoreTest, CreationLogsAndNeverReplaces) {
  vars.NewIntVar("hp", 3);
  vars.NewIntVar("hp", 5);
  vars.NewStrVar("hp", "x");
  vars.NewStrVar("hp", "y");
  EXPECT_EQ(Messages(), (Texts {"Created new variable: hp", "Warning:Variable: hp already exists!",
                                "Created new variable: hp", "Warning:Variable: hp already exists!"}));
  EXPECT_EQ(vars.IntValue(0), 3);
  EXPECT_EQ(vars.StrValue(0), "x");
  EXPECT_EQ(vars.IntCount(), 1);
}

TEST_F(VarStoreTest, ValuesAndNamesAreCutTo255Bytes) {
  const std::string v300(300, 'v');
  vars.NewStrVar("s", v300);
  EXPECT_EQ(vars.StrValue(0), v300.substr(0, 255));
  vars.SetStrValue(0, v300 + "w");
  EXPECT_EQ(vars.StrValue(0), v300.substr(0, 255));

  // A long name is stored cut, is never found again under itself, and so is created anew
  // each time; the cut name finds the first of those records.
  const std::string n300(300, 'n');
  vars.NewIntVar(n300, 1);
  vars.NewIntVar(n300, 2);
  EXPECT_EQ(vars.IntCount(), 2);
  EXPECT_EQ(vars.FindVar(n300, false), -1);
  EXPECT_EQ(vars.IntName(1), n300.substr(0, 255));
  EXPECT_EQ(vars.FindVar(n300.substr(0, 255), false), 0);
  vars.NewIntVar(n300.substr(0, 255), 3);  // exists already
  EXPECT_EQ(vars.IntCount(), 2);
}

TEST_F(VarStoreTest, ValueMayBeAssignedFromAPieceOfItself) {
  vars.NewStrVar("s", "abcdef");
  vars.SetStrValue(0, vars.StrValue(0).substr(2));
  EXPECT_EQ(vars.StrValue(0), "cdef");
}

TEST_F(VarStoreTest, SetsKeepOrderAndRemoveTheFirstMatch) {
  vars.IntSetClear();
  EXPECT_EQ(vars.IntSetSize(), 0);
  for (int32_t v : {5, 7, 5, 9}) vars.IntSetAdd(v);  // IntSetAdd itself does not check
  EXPECT_EQ(vars.IntSetFind(5), 0);
  EXPECT_EQ(vars.IntSetFind(9), 3);
  vars.IntSetRemove(42);
  EXPECT_EQ(vars.IntSetSize(), 4);
  vars.IntSetRemove(5);
  EXPECT_EQ(vars.IntSetFind(5), 1);
  EXPECT_TRUE(vars.IntSetContains(5));
  vars.IntSetRemove(5);
  EXPECT_FALSE(vars.IntSetContains(5));
  EXPECT_EQ(vars.IntSetAt(0), 7);
  EXPECT_EQ(vars.IntSetAt(1), 9);

  const std::string long300(300, 'L');
  for (const std::string& s : {std::string("a"), long300, std::string("A"), std::string()}) vars.StrSetAdd(s);
  EXPECT_EQ(vars.StrSetFind(long300), 1);  // set elements are not cut
  EXPECT_EQ(vars.StrSetFind(""), 3);
  vars.StrSetRemove("a");
  EXPECT_EQ(vars.StrSetAt(0), long300);
  EXPECT_EQ(vars.StrSetFind("A"), 1);
  vars.StrSetClear();
  EXPECT_EQ(vars.StrSetFind("A"), -1);
}

TEST_F(VarStoreTest, TablesAreDynamicArraysPlugInsCanRead) {
  for (int i = 0; i < 1000; ++i) {
    std::string name = "i";  // built by append: GCC 12 warns falsely on "i" + to_string(i) here
    name += std::to_string(i);
    vars.NewIntVar(name, i * 3);
  }
  vars.NewStrVar("greeting", "hello");
  TIntVar* ints = Ints();
  const auto* header = reinterpret_cast<const VelmoraArrayHeader*>(ints) - 1;
  EXPECT_EQ(header->refCount, 1);
  EXPECT_EQ(header->count, 1000);
  EXPECT_EQ(VelmoraArrayCount(Strs()), 1);
  EXPECT_EQ(ints[999].value, 2997);
  EXPECT_EQ(std::string(ints[999].name.chars, ints[999].name.length), "i999");
  const TStrVar* s = VelmoraFindStrVar(Strs(), "greeting");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(std::string(s->value.chars, s->value.length), "hello");
  // Writing a value in place is seen at once.
  VelmoraFindIntVar(ints, "i5")->value = -1;
  EXPECT_EQ(vars.IntOperand("i5"), -1);
}

TEST_F(VarStoreTest, RenamesByPlugInsAreSeenAfterTheStoreIsTold) {
  for (const char* n : {"a", "b", "c"}) vars.NewIntVar(n, 0);
  const uint64_t before = vars.Generation();
  VelmoraSetShortString(&Ints()[2].name, "a");  // now a duplicate of an earlier name
  VelmoraSetShortString(&Ints()[0].name, "z");
  vars.MemoryChangedExternally();
  EXPECT_NE(vars.Generation(), before);
  EXPECT_EQ(vars.FindVar("z", false), 0);
  EXPECT_EQ(vars.FindVar("a", false), 2);
  EXPECT_EQ(vars.FindVar("c", false), -1);
  VelmoraSetShortString(&Ints()[0].name, "a");
  vars.MemoryChangedExternally();
  EXPECT_EQ(vars.FindVar("a", false), 0);  // the first record of a name wins
}

TEST_F(VarStoreTest, GenerationChangesOnlyWhenLookupsMayAnswerDifferently) {
  const uint64_t g0 = vars.Generation();
  EXPECT_NE(g0, 0u);
  vars.NewIntVar("x", 1);
  const uint64_t g1 = vars.Generation();
  EXPECT_NE(g1, g0);
  vars.SetIntValue(0, 5);
  vars.NewIntVar("x", 2);
  vars.IntSetAdd(3);
  EXPECT_EQ(vars.Generation(), g1);
  StartupLog otherLog;
  VarStore other(otherLog);
  EXPECT_NE(other.Generation(), g1);
}

// Lookups through the index answer as a scan from the front does, whatever the names.
TEST_F(VarStoreTest, LookupsAgreeWithAFrontToBackScan) {
  std::mt19937 rng(7);
  const auto name = [&] {
    std::string n;
    const int len = std::uniform_int_distribution<int>(0, 3)(rng);
    for (int i = 0; i < len; ++i) n += "aAb\xE0"[rng() % 4];
    if (rng() % 20 == 0) n = std::string(255, 'q') + n;  // long names: cut, duplicated
    return n;
  };
  std::vector<std::string> stored;
  for (int step = 0; step < 3000; ++step) {
    const std::string n = name();
    if (rng() % 2) {
      vars.NewIntVar(n, step);
      if (n.size() > 255 || std::find(stored.begin(), stored.end(), n) == stored.end())
        stored.push_back(n.substr(0, 255));
    }
    if (rng() % 50 == 0 && !stored.empty()) {
      // A plug-in renames a record.
      const size_t i = rng() % stored.size();
      stored[i] = name().substr(0, 255);
      VelmoraSetShortString(&Ints()[i].name, stored[i].c_str());
      vars.MemoryChangedExternally();
    }
    const std::string probe = name();
    int expected = -1;
    if (probe.size() <= 255)
      for (size_t i = 0; i < stored.size() && expected == -1; ++i)
        if (stored[i] == probe) expected = static_cast<int>(i);
    ASSERT_EQ(vars.FindVar(probe, false), expected) << "step " << step;
  }
  EXPECT_EQ(vars.IntCount(), static_cast<int>(stored.size()));
}

TEST(VarStoreBound, GrowingPastTheBoundFaultsAndRemovingMakesRoom) {
  StartupLog log;
  VarStore store(log, 64 << 10);
  const std::string text(1000, 'x');
  int added = 0;
  try {
    for (;; ++added) store.StrSetAdd(text + std::to_string(added));
  } catch (const RuntimeFault& fault) {
    EXPECT_STREQ(fault.what(), "Too many variables and set elements: they hold more than 0 MB");
  }
  EXPECT_GT(added, 50);
  EXPECT_LT(added, 70);
  EXPECT_THROW(store.IntSetAdd(1), RuntimeFault);
  store.StrSetRemove(text + "0");
  store.StrSetRemove(text + "1");
  EXPECT_NO_THROW(store.StrSetAdd("short"));
  store.StrSetClear();
  for (int i = 0; i < 100; ++i) store.IntSetAdd(i);
  EXPECT_THROW(for (int i = 0; i < 2000; ++i) store.NewStrVar("v" + std::to_string(i), ""), RuntimeFault);
}

}  // namespace
}  // namespace velmora
