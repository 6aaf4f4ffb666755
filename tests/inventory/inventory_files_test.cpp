#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <limits>

#include "inventory_fixture.h"
#include "base/fault.h"
#include "base/ini_document.h"

namespace velmora::testing {
namespace {

std::vector<std::string> Names(const Inventory& inv) {
  std::vector<std::string> out;
  for (int i = 0; i < inv.Size(); ++i) out.emplace_back(inv.Name(i));
  return out;
}

TEST_F(InventoryTest, RecordsSitInTheArrayThatPluginsRead) {
  EXPECT_EQ(inv().ArrayAddress(), nullptr);
  Define("[Inventory]\nTotalItems=2\n" +
         ItemSection(0, "Name=sword\nDisplayName=Sword\nCount=2\nMaxCount=5\nLinesCount=1\nLine0=Sharp\n"
                        "CanEquip=1\nEquipScript=wield\n") +
         ItemSection(1, "Name=" + std::string(300, 'k') + "\n"));
  const auto* items = static_cast<const TInvItem*>(inv().ArrayAddress());
  ASSERT_NE(items, nullptr);
  EXPECT_EQ((reinterpret_cast<const VelmoraArrayHeader*>(items) - 1)->count, 2);
  EXPECT_EQ(std::string(items[0].name.chars, items[0].name.length), "sword");
  EXPECT_EQ(int32_t{items[0].count}, 2);  // packed fields are read by value
  EXPECT_EQ(int32_t{items[0].maxCount}, 5);
  EXPECT_EQ(uint8_t{items[0].canEquip}, 1);
  EXPECT_EQ(std::string(items[0].equipScript.chars, items[0].equipScript.length), "wield");
  EXPECT_EQ(static_cast<const void*>(items[0].lines), &inv().Lines(0));
  EXPECT_EQ(inv().Lines(0), ItemLines{"Sharp"});
  EXPECT_EQ(uint8_t{items[1].name.length}, 255);  // cut without a message
}

TEST_F(InventoryTest, GrowingKeepsEveryRecordAndItsLines) {
  for (int i = 0; i < 300; ++i) {
    ItemFields f;
    f.name = "item" + std::to_string(i);
    f.lines = {f.name};
    inv().Append(std::move(f));
  }
  const auto* items = static_cast<const TInvItem*>(inv().ArrayAddress());
  EXPECT_EQ((reinterpret_cast<const VelmoraArrayHeader*>(items) - 1)->count, 300);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(inv().FindItem("item" + std::to_string(i)), i);
    EXPECT_EQ(static_cast<const ItemLines*>(items[i].lines)->front(), "item" + std::to_string(i));
  }
}

struct LoadCase {
  const char* what;
  std::string file;
  std::vector<std::string> names;
  std::vector<std::string> log;
};

TEST_F(InventoryTest, LoadsItemSectionsInOrder) {
  const LoadCase cases[] = {
      {"a duplicate name is skipped",
       "[Inventory]\nTotalItems=2\n[Item0]\nName=key\nCount=1\n[Item1]\nName=key\nCount=9\n",
       {"key"},
       {"Added item named key", "Warning:Item named key already exists!"}},
      {"TotalItems beyond the sections",
       "[Inventory]\nTotalItems=3\n[Item0]\nName=a\n",
       {"a", "ITEM_NAME"},
       {"Added item named a", "Added item named ITEM_NAME", "Warning:Item named ITEM_NAME already exists!"}},
      {"a missing section between present ones",
       "[Inventory]\nTotalItems=4\n[Item0]\nName=a\n[Item3]\nName=b\n",
       {"a", "ITEM_NAME", "b"},
       {"Added item named a", "Added item named ITEM_NAME", "Warning:Item named ITEM_NAME already exists!",
        "Added item named b"}},
      {"section names as the loader forms them",
       "[Inventory]\nTotalItems=2\n[ITEM0]\nName=a\n[Item01]\nName=b\n",
       {"a", "ITEM_NAME"},
       {"Added item named a", "Added item named ITEM_NAME"}},
      {"a section without keys is missing",
       "[Inventory]\nTotalItems=1\n[Item0]\n",
       {"ITEM_NAME"},
       {"Added item named ITEM_NAME"}},
      {"negative TotalItems", "[Inventory]\nTotalItems=-3\n[Item0]\nName=a\n", {}, {}},
      {"no TotalItems", "[Item0]\nName=a\n", {}, {}},
  };
  for (const auto& c : cases) {
    TestGame fresh;
    fresh.dir.Write("Scripts/inventory.inv", c.file);
    Game& g = fresh.Make();
    LoadDefinitions(g);
    EXPECT_EQ(Names(*g.inventory), c.names) << c.what;
    std::vector<std::string> log;
    for (const auto& line : g.log.Lines()) log.push_back(line.substr(line.rfind(" | ") + 3));
    EXPECT_EQ(log, c.log) << c.what;
  }
}

TEST_F(InventoryTest, MissingFileLoadsNothingAndSaysNothing) {
  LoadDefinitions(*game);
  LoadState(*game);
  EXPECT_EQ(inv().Size(), 0);
  EXPECT_TRUE(Log().empty());
}

TEST_F(InventoryTest, DefaultsOfAnEmptySection) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nScript=\n");
  ASSERT_EQ(inv().Size(), 1);
  EXPECT_EQ(inv().Name(0), "ITEM_NAME");
  EXPECT_EQ(inv().DisplayName(0), "ITEM_DNAME");
  EXPECT_EQ(inv().PictureFile(0), "default.jpg");
  EXPECT_EQ(inv().Count(0), 0);
  EXPECT_EQ(inv().MaxCount(0), 1);
  EXPECT_FALSE(inv().Enabled(0));
  EXPECT_FALSE(inv().CanEquip(0));
  EXPECT_FALSE(inv().IsEquipped(0));
  EXPECT_EQ(inv().Script(0), "");
  EXPECT_TRUE(inv().Lines(0).empty());
}

TEST_F(InventoryTest, ReloadingAddsOnlyNewItems) {
  Define("[Inventory]\nTotalItems=2\n[Item0]\nName=a\n[Item1]\nName=b\n");
  AddItemCount(*game, "a", 1);
  ClearLog();
  Define("[Inventory]\nTotalItems=3\n[Item0]\nName=a\n[Item1]\nName=b\n[Item2]\nName=c\n");
  EXPECT_EQ(Names(inv()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(inv().Count(0), 1);  // kept, not read again
  EXPECT_EQ(Log(), (std::vector<std::string>{"Warning:Item named a already exists!",
                                             "Warning:Item named b already exists!", "Added item named c"}));
}

TEST_F(InventoryTest, StateAddsOnlyItemsTheListLacks) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nCount=1\n");
  tg.dir.Write("Scripts/inventory.sav",
               "[Inventory]\nTotalItems=2\n[Item0]\nName=a\nCount=7\n[Item1]\nName=z\nCount=4\nEnabled=1\n");
  LoadState(*game);
  EXPECT_EQ(Names(inv()), (std::vector<std::string>{"a", "z"}));
  EXPECT_EQ(inv().Count(0), 1);
  EXPECT_EQ(inv().Count(1), 4);
}

TEST_F(InventoryTest, DescriptionHasTheDeclaredNumberOfLines) {
  Define("[Inventory]\nTotalItems=2\n[Item0]\nName=a\nLinesCount=3\nLine0=first\n"
         "[Item1]\nName=b\nLinesCount=-2\nLine0=unread\n");
  EXPECT_EQ(inv().Lines(0), (ItemLines{"first", "", ""}));
  EXPECT_EQ(inv().LinesCount(0), 3);
  EXPECT_TRUE(inv().Lines(1).empty());
  SaveInventory(*game);
  IniDocument saved(tg.files, StatePath());
  EXPECT_EQ(saved.ReadInteger("Item0", "LinesCount", -1), 3);
  EXPECT_TRUE(saved.SectionPresent("Item0"));
  EXPECT_EQ(saved.ReadText("Item0", "Line2", "missing"), "");
  EXPECT_EQ(saved.ReadText("Item0", "Line3", "missing"), "missing");
  EXPECT_EQ(saved.ReadInteger("Item1", "LinesCount", -1), 0);
}

TEST_F(InventoryTest, AbsurdCountsStayBoundedByTheFile) {
  // Three sections and a count of two thousand million: loading reads what is there.
  Define("[Inventory]\nTotalItems=2000000000\n[Item0]\nName=a\n[Item1]\nName=b\n[Item2]\nName=c\n"
         "[Item1999999999]\nName=last\nLinesCount=12000\nLine0=x\nLine11999=y\n");
  EXPECT_EQ(Names(inv()), (std::vector<std::string>{"a", "b", "c", "ITEM_NAME", "last"}));
  const std::string path = tg.folder() + "Scripts/inventory.inv";
  EXPECT_EQ(Log(), (std::vector<std::string>{
                       "Added item named a", "Added item named b", "Added item named c", "Added item named ITEM_NAME",
                       "Warning:Sections Item4 to Item1999999998 of " + path + " not found, skipped!",
                       "Added item named last"}));
  // A long description is read whole, and saved whole.
  EXPECT_EQ(inv().Lines(4).size(), 12000u);
  EXPECT_EQ(inv().Lines(4).back(), "y");
  const std::string saved = InventoryFileText(inv());
  EXPECT_NE(saved.find("LinesCount=12000\r\n"), std::string::npos);
  EXPECT_NE(saved.find("Line11999=y\r\n"), std::string::npos);
}

// Declared lines past the bound over the whole file (ten thousand items of ten thousand
// lines each) refuse the file with a message: nothing of it is loaded, nothing is cut.
TEST_F(InventoryTest, AFileThatDeclaresTooManyLinesIsRefusedWhole) {
  std::string file = "[Inventory]\nTotalItems=10000\n";
  for (int i = 0; i < 10000; ++i) file += "[Item" + std::to_string(i) + "]\nName=i" + std::to_string(i) + "\nLinesCount=10000\n";
  try {
    Define(file);
    FAIL() << "no fault";
  } catch (const RuntimeFault& f) {
    EXPECT_EQ(std::string(f.what()), "The inventory file " + tg.folder() + "Scripts/inventory.inv declares more than "
                                     "1000000 description lines and was not loaded");
  }
  EXPECT_EQ(inv().Size(), 0);
}

TEST_F(InventoryTest, ShortRunsOfMissingSectionsWarnOncePerSection) {
  // Up to 100 warnings after the default item are written one by one, as ever; a longer
  // run is one line.
  for (int total : {102, 103}) {
    TestGame fresh;
    fresh.dir.Write("Scripts/inventory.inv", "[Inventory]\nTotalItems=" + std::to_string(total) + "\n[Item0]\nName=a\n");
    Game& g = fresh.Make();
    LoadDefinitions(g);
    EXPECT_EQ(g.inventory->Size(), 2);
    EXPECT_EQ(g.log.Lines().size(), total == 102 ? 102u : 3u) << total;
  }
}

TEST_F(InventoryTest, EnabledFromTheFileStandsUntilACountChanges) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nCount=0\nEnabled=1\n");
  EXPECT_TRUE(inv().Enabled(0));
  SaveInventory(*game);
  EXPECT_TRUE(inv().Enabled(0));
  EXPECT_EQ(IniDocument(tg.files, StatePath()).ReadInteger("Item0", "Enabled", -1), 0);
}

TEST_F(InventoryTest, SaveWritesEveryKeyInItsOrder) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=lamp\nDisplayName=Lamp\nPicture=lamp.png\nCount=2\nMaxCount=5\n"
         "Enabled=0\nScript=light\nLinesCount=2\nLine0=Old\nLine1=Brass\nCanEquip=1\nIsEquipped=1\n"
         "EquipScript=on\nUnEquipScript=off\n");
  SaveInventory(*game);
  EXPECT_EQ(StateFile(),
            "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=lamp\r\nDisplayName=Lamp\r\nScript=light\r\n"
            "Picture=lamp.png\r\nCount=2\r\nMaxCount=5\r\nEnabled=1\r\nCanEquip=1\r\nIsEquipped=1\r\n"
            "EquipScript=on\r\nUnEquipScript=off\r\nLinesCount=2\r\nLine0=Old\r\nLine1=Brass\r\n");
}

TEST_F(InventoryTest, SaveHoldsEveryItemHeldOrNot) {
  tg.dir.Write("Scripts/inventory.sav", "[Inventory]\nTotalItems=9\n[Item7]\nName=stale\n[Other]\nKey=1\n");
  Define("[Inventory]\nTotalItems=3\n[Item0]\nName=a\nCount=0\n[Item1]\nName=b\nCount=4\nMaxCount=9\n"
         "[Item2]\nName=c\nCount=-1\n");
  SaveInventory(*game);
  IniDocument saved(tg.files, StatePath());
  EXPECT_EQ(saved.ReadInteger("Inventory", "TotalItems", 0), 3);
  EXPECT_EQ(saved.ReadText("Item0", "Name", ""), "a");
  EXPECT_EQ(saved.ReadText("Item1", "Name", ""), "b");
  EXPECT_EQ(saved.ReadInteger("Item1", "Enabled", -1), 1);
  EXPECT_EQ(saved.ReadText("Item2", "Name", ""), "c");
  EXPECT_EQ(saved.ReadInteger("Item2", "Enabled", -1), 0);
  EXPECT_FALSE(saved.SectionPresent("Item7"));  // nothing of an earlier save survives
  EXPECT_FALSE(saved.SectionPresent("Other"));
}

TEST_F(InventoryTest, SavedTextsReadBackAsTheyWere) {
  const std::vector<std::string> texts = {" padded ", "\"quoted\"", "'single'", "\ttab", "a=b;c", "\"", "x\"", ""};
  for (size_t k = 0; k < texts.size(); ++k) {
    ItemFields f;
    f.name = "item" + std::to_string(k);
    f.displayName = texts[k];
    f.lines = {texts[k]};
    inv().Append(std::move(f));
  }
  SaveInventory(*game);
  IniDocument saved(tg.files, StatePath());
  for (size_t k = 0; k < texts.size(); ++k) {
    const std::string section = "Item" + std::to_string(k);
    EXPECT_EQ(saved.ReadText(section, "DisplayName", "?"), texts[k]) << k;
    EXPECT_EQ(saved.ReadText(section, "Line0", "?"), texts[k]) << k;
  }
}

TEST_F(InventoryTest, ALineBreakInATextCannotSplitTheFile) {
  ItemFields f;
  f.name = "a";
  f.lines = {"one\r\n[Inventory]\nTotalItems=0"};
  inv().Append(std::move(f));
  SaveInventory(*game);
  IniDocument saved(tg.files, StatePath());
  EXPECT_EQ(saved.ReadInteger("Inventory", "TotalItems", -1), 1);
  EXPECT_EQ(saved.ReadText("Item0", "Line0", ""), "one  [Inventory] TotalItems=0");
}

class SaveFailure : public InventoryTest {
 protected:
  void SetUp() override {
    Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nCount=1\nMaxCount=9\n");
    SaveInventory(*game);
    before = StateFile();
    ASSERT_NE(before.find("Count=1"), std::string::npos);
  }
  // Adding raises the write fault, and the previous state file is still there, whole.
  void ExpectFaultKeepsOldFile() {
    try {
      AddItemCount(*game, "a", 1);
      ADD_FAILURE() << "no fault";
    } catch (const RuntimeFault& fault) {
      EXPECT_EQ(std::string(fault.what()), "Unable to write to " + StatePath());
    }
    EXPECT_EQ(StateFile(), before);
    for (const auto& entry : std::filesystem::directory_iterator(tg.dir.path() / "Scripts"))
      EXPECT_TRUE(entry.path().filename() == "inventory.sav" || entry.path().filename() == "inventory.inv")
          << entry.path();
  }
  std::string before;
};

TEST_F(SaveFailure, ReadOnlyStateFile) {
  std::filesystem::permissions(StatePath(), std::filesystem::perms::owner_read);
  ExpectFaultKeepsOldFile();
}

TEST_F(SaveFailure, ReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
  std::filesystem::permissions(tg.dir.path() / "Scripts",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  ExpectFaultKeepsOldFile();
  std::filesystem::permissions(tg.dir.path() / "Scripts", std::filesystem::perms::owner_all);
}

TEST_F(SaveFailure, DiskFullMidWrite) {
  // A file-size limit stands in for a full disk (it binds the superuser too).
  for (int i = 0; i < 50; ++i) {
    ItemFields f;
    f.name = "filler" + std::to_string(i);
    inv().Append(std::move(f));
  }
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = before.size() + 100;
  ::setrlimit(RLIMIT_FSIZE, &small);
  ExpectFaultKeepsOldFile();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
}

TEST_F(InventoryTest, MissingScriptsFolderIsAWriteFault) {
  std::filesystem::remove(tg.dir.path() / "Scripts");
  EXPECT_THROW(SaveInventory(*game), RuntimeFault);
  EXPECT_FALSE(std::filesystem::exists(tg.dir.path() / "Scripts"));
}

struct CountCase {
  int32_t count, maxCount;
  bool add;
  int32_t amount;
  int32_t expected;
  bool enabled;
};

TEST_F(InventoryTest, AddingAndRemovingClampOnlyTheirOwnWay) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const CountCase cases[] = {
      {1, 3, true, 5, 3, true},       {1, 1, false, 1, 0, false},      {2, 5, false, 4, 0, false},
      {2, 3, true, -5, -3, false},    {3, 3, false, -5, 8, true},      {0, 1, true, 2, 1, true},
      {5, kMax, true, kMax, kMax, true},  // saturates instead of wrapping to a negative count
      {1, 9, false, kMin, kMax, true},    {-5, 9, true, kMin, kMin, false},
  };
  std::string defs = "[Inventory]\nTotalItems=" + std::to_string(std::size(cases)) + "\n";
  for (size_t k = 0; k < std::size(cases); ++k)
    defs += ItemSection(static_cast<int>(k), "Name=i" + std::to_string(k) + "\nCount=" +
                                                 std::to_string(cases[k].count) + "\nMaxCount=" +
                                                 std::to_string(cases[k].maxCount) + "\nEnabled=1\n");
  Define(defs);
  for (size_t k = 0; k < std::size(cases); ++k) {
    const auto& c = cases[k];
    const std::string name = "i" + std::to_string(k);
    if (c.add)
      AddItemCount(*game, name, c.amount);
    else
      RemoveItemCount(*game, name, c.amount);
    EXPECT_EQ(inv().Count(static_cast<int>(k)), c.expected) << k;
    EXPECT_EQ(inv().Enabled(static_cast<int>(k)), c.enabled) << k;
    EXPECT_EQ(IniDocument(tg.files, StatePath()).ReadInteger("Item" + std::to_string(k), "Count", 12345), c.expected) << k;
  }
}

TEST_F(InventoryTest, UnknownItemStillRewritesTheStateFile) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nCount=1\n");
  ClearLog();
  AddItemCount(*game, "A", 1);
  EXPECT_EQ(IniDocument(tg.files, StatePath()).ReadInteger("Inventory", "TotalItems", 0), 1);
  std::filesystem::remove(StatePath());
  RemoveItemCount(*game, "nothing", 1);
  EXPECT_TRUE(std::filesystem::exists(StatePath()));
  EXPECT_EQ(inv().Count(0), 1);
  EXPECT_TRUE(Log().empty());
}

}  // namespace
}  // namespace velmora::testing
