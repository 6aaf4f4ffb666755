#include <filesystem>

#include "inventory_fixture.h"
#include "base/ini_document.h"
#include "base/main_window_state.h"
#include "vars/var_store.h"

namespace velmora::testing {
namespace {

using Lines = std::vector<std::string>;

class WindowTest : public InventoryTest {
 protected:
  WindowTest() {
    window().onChanged = [this](unsigned parts) { changes |= parts; };
  }
  // Opens the window as the title-bar item does.
  void Open() { window().Open(*game); }
  void Select(const std::string& entry) {
    const auto& e = window().entries;
    const auto at = std::find(e.begin(), e.end(), entry);
    ASSERT_NE(at, e.end()) << entry;
    window().Select(*game, static_cast<int>(at - e.begin()));
  }
  unsigned changes = 0;
};

TEST_F(WindowTest, NothingHeldShowsAnEmptyList) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nCount=0\n");
  Open();
  EXPECT_TRUE(window().visible);
  EXPECT_TRUE(window().entries.empty());
  EXPECT_FALSE(window().useEnabled);
  EXPECT_FALSE(window().wearEnabled);
  EXPECT_EQ(window().pictureFile, "Images\\default.jpg");
  EXPECT_NE(window().picture, nullptr);
  EXPECT_EQ(window().itemName, "");
  EXPECT_EQ(window().itemCount, "");
  EXPECT_TRUE(window().description.empty());
  EXPECT_EQ(changes & InventoryWindowState::kAll, unsigned{InventoryWindowState::kAll});
  window().Select(*game, 0);  // a click on an empty list
  EXPECT_FALSE(window().useEnabled);
  EXPECT_TRUE(tg.dialogs.shown.empty());
}

TEST_F(WindowTest, SelectionShowsTheItem) {
  tg.dir.Write("Images/lamp.png", "png");
  Define("[Inventory]\nTotalItems=3\n"
         "[Item0]\nName=lamp\nDisplayName=Lamp\nPicture=lamp.png\nCount=2\nMaxCount=5\nEnabled=1\nCanEquip=1\n"
         "IsEquipped=1\nLinesCount=2\nLine0=Old\nLine1=Brass\n"
         "[Item1]\nName=key\nDisplayName=Key\nCount=1\nMaxCount=1\nEnabled=1\n"
         "[Item2]\nName=odd\nDisplayName=Odd\nCount=3\nMaxCount=0\nEnabled=1\n");
  Open();
  EXPECT_EQ(window().entries, (Lines{"Lamp", "Key", "Odd"}));
  const std::tuple<const char*, const char*, bool> cases[] = {{"Lamp", "2\\5", true}, {"Key", "1", false},
                                                              {"Odd", "3", false}};
  for (const auto& [entry, count, wear] : cases) {
    Select(entry);
    EXPECT_TRUE(window().useEnabled);
    EXPECT_EQ(window().itemName, entry);
    EXPECT_EQ(window().itemCount, count);
    EXPECT_EQ(window().wearEnabled, wear);
  }
  Select("Lamp");
  EXPECT_TRUE(window().wearTakesOff);
  EXPECT_EQ(window().description, (Lines{"Old", "Brass"}));
  EXPECT_EQ(window().pictureFile, "Images\\lamp.png");
  EXPECT_EQ(window().selectedItem, 0);
}

TEST_F(WindowTest, AMissingPictureStopsTheSelectionAtThatStep) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nDisplayName=A\nPicture=gone.png\nCount=1\nEnabled=1\n"
         "LinesCount=1\nLine0=text\n");
  Open();
  Select("A");
  ASSERT_EQ(tg.dialogs.shown.size(), 1u);
  EXPECT_EQ(tg.dialogs.shown[0].rfind("error: Cannot open file \"", 0), 0u) << tg.dialogs.shown[0];
  EXPECT_EQ(window().description, Lines{"text"});  // everything before the picture happened
  EXPECT_EQ(window().pictureFile, "Images\\default.jpg");
}

TEST_F(WindowTest, AMissingNeutralPictureStillShowsTheWindow) {
  std::filesystem::remove(tg.dir.path() / "Images" / "default.jpg");
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nDisplayName=A\nCount=1\nEnabled=1\n");
  Open();
  EXPECT_TRUE(window().visible);
  EXPECT_EQ(window().entries, Lines{"A"});
  EXPECT_EQ(window().itemName, "ITEM_NAME");  // left as it was
  ASSERT_EQ(tg.dialogs.shown.size(), 1u);
}

TEST_F(WindowTest, SubstitutedDescriptionSticks) {
  game->vars->NewIntVar("gold", 5);
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=purse\nDisplayName=Purse\nCount=1\nEnabled=1\n"
         "LinesCount=2\nLine0=Holds $_gold coins\nLine1=of $d_purse\n");
  Open();
  Select("Purse");
  EXPECT_EQ(window().description, (Lines{"Holds 5 coins", "of Purse"}));
  game->vars->SetIntValue(game->vars->FindVar("gold", false), 9);
  Select("Purse");
  EXPECT_EQ(window().description, (Lines{"Holds 5 coins", "of Purse"}));
  SaveInventory(*game);
  EXPECT_EQ(IniDocument(tg.files, StatePath()).ReadText("Item0", "Line0", ""), "Holds 5 coins");
}

TEST_F(WindowTest, UsingTheLastOneTakesItOffTheList) {
  Scripts("___script eat $inventory.remove apple 1 ___end ___script look ___end");
  Define("[Inventory]\nTotalItems=2\n"
         "[Item0]\nName=apple\nDisplayName=Apple\nCount=1\nEnabled=1\nScript=eat\n"
         "[Item1]\nName=map\nDisplayName=Map\nCount=1\nEnabled=1\nScript=look\n");
  Open();
  Select("Map");
  window().PressUse(*game);
  EXPECT_EQ(window().entries, (Lines{"Apple", "Map"}));  // a script that keeps the count keeps the entry
  EXPECT_EQ(window().selectedEntry, -1);
  EXPECT_FALSE(window().useEnabled);
  Select("Apple");
  window().PressUse(*game);
  EXPECT_EQ(window().entries, Lines{"Map"});
  EXPECT_EQ(window().selectedEntry, -1);
  EXPECT_EQ(window().itemName, "");
  EXPECT_EQ(IniDocument(tg.files, StatePath()).ReadInteger("Item0", "Enabled", -1), 0);
  window().PressUse(*game);  // disabled: nothing happens
  EXPECT_EQ(inv().Count(1), 1);
}

TEST_F(WindowTest, UsingAnItemWithNoCountLeftDisablesIt) {
  // An item listed only by its definition's Enabled flag drops out once used.
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=note\nDisplayName=Note\nCount=0\nEnabled=1\n");
  Open();
  Select("Note");
  window().PressUse(*game);
  EXPECT_TRUE(window().entries.empty());
  EXPECT_FALSE(inv().Enabled(0));
}

TEST_F(WindowTest, SharedDisplayNamesActOnTheFirstItem) {
  Scripts("___script first $inventory.add gem 1 ___end ___script second $inventory.add gem 2 ___end");
  Define("[Inventory]\nTotalItems=4\n"
         "[Item0]\nName=ghost\nDisplayName=Ring\nCount=0\nMaxCount=3\nScript=first\n"
         "[Item1]\nName=ring1\nDisplayName=Ring\nCount=1\nEnabled=1\nScript=second\n"
         "[Item2]\nName=ring2\nDisplayName=Ring\nCount=1\nEnabled=1\nScript=second\n"
         "[Item3]\nName=gem\nDisplayName=Gem\nMaxCount=9\n");
  Open();
  ASSERT_EQ(window().entries, (Lines{"Ring", "Ring"}));
  window().Select(*game, 1);
  EXPECT_EQ(window().selectedItem, 0);  // the one not held, first with that name
  EXPECT_EQ(window().itemCount, "0\\3");
  window().PressUse(*game);
  EXPECT_EQ(inv().Count(3), 1);  // ran "first"
}

TEST_F(WindowTest, WearButtonFollowsTheFlagNotTheCaption) {
  Scripts("___script on $inventory.add gem 1 ___end ___script off $inventory.add gem 2 ___end");
  Define("[Inventory]\nTotalItems=2\n"
         "[Item0]\nName=cloak\nDisplayName=Cloak\nCount=1\nEnabled=1\nCanEquip=1\nEquipScript=on\n"
         "UnEquipScript=off\n"
         "[Item1]\nName=gem\nDisplayName=Gem\nMaxCount=9\n");
  Open();
  Select("Cloak");
  EXPECT_EQ(window().wearTakesOff, false);
  window().PressWear(*game);
  EXPECT_EQ(inv().Count(1), 1);
  EXPECT_TRUE(inv().IsEquipped(0));
  EXPECT_FALSE(window().wearTakesOff);  // the caption still reads "Надеть"
  EXPECT_EQ(IniDocument(tg.files, StatePath()).ReadInteger("Item0", "IsEquipped", -1), 1);
  window().PressWear(*game);
  EXPECT_EQ(inv().Count(1), 3);
  EXPECT_FALSE(inv().IsEquipped(0));
  Select("Cloak");
  window().PressWear(*game);
  Select("Cloak");
  EXPECT_TRUE(window().wearTakesOff);
  // The button stays enabled after a rebuild and still acts on the last selection.
  window().Close(*game);
  Open();
  EXPECT_TRUE(window().wearEnabled);
  window().PressWear(*game);
  EXPECT_FALSE(inv().IsEquipped(0));
}

TEST_F(WindowTest, ShowingAnOpenWindowOnlyMovesIt) {
  Define("[Inventory]\nTotalItems=2\n[Item0]\nName=a\nDisplayName=A\nCount=1\nEnabled=1\n"
         "[Item1]\nName=b\nDisplayName=B\nCount=0\n");
  Open();
  Select("A");
  AddItemCount(*game, "b", 1);
  game->mainWindow->left = 200;
  game->mainWindow->top = 100;
  changes = 0;
  Open();
  EXPECT_EQ(window().entries, Lines{"A"});
  EXPECT_EQ(window().selectedEntry, 0);
  EXPECT_EQ(window().left, 200);
  EXPECT_EQ(window().top, 100);
  EXPECT_EQ(changes, unsigned{InventoryWindowState::kGeometry | InventoryWindowState::kBringToFront});
  window().Close(*game);
  EXPECT_FALSE(window().visible);
  Open();
  EXPECT_EQ(window().entries, (Lines{"A", "B"}));
}

TEST_F(WindowTest, HiddenWindowTakesNoInput) {
  Define("[Inventory]\nTotalItems=1\n[Item0]\nName=a\nDisplayName=A\nCount=1\nEnabled=1\n");
  window().Select(*game, 0);
  window().PressUse(*game);
  EXPECT_EQ(window().selectedEntry, -1);
  EXPECT_FALSE(std::filesystem::exists(StatePath()));
}

TEST_F(WindowTest, DescribesTheWindowAsText) {
  EXPECT_EQ(DescribeInventoryWindow(*game), Lines{"inventory: hidden"});
  Define("[Inventory]\nTotalItems=2\n"
         "[Item0]\nName=lamp\nDisplayName=\xCB\xE0\xEC\xEF\xE0\nCount=2\nMaxCount=5\nEnabled=1\nCanEquip=1\n"
         "LinesCount=1\nLine0=Old\n"
         "[Item1]\nName=key\nDisplayName=Key\nCount=1\nEnabled=1\n");
  game->mainWindow->left = 10;
  game->mainWindow->top = 20;
  Open();
  window().Select(*game, 0);
  EXPECT_EQ(DescribeInventoryWindow(*game),
            (Lines{"inventory: shown at 10,20", "list: 2 entries", "> 1. Лампа", "  2. Key",
                   "picture: Images\\default.jpg", "Предмет: Лампа", "Кол-во: 2\\5", "Описание:", "  | Old",
                   "buttons: [Ипольз.] [Надеть] [Закрыть]"}));
  window().Close(*game);
  Open();
  EXPECT_EQ(DescribeInventoryWindow(*game).back(), "buttons: [Ипольз. (disabled)] [Надеть] [Закрыть]");
}

}  // namespace
}  // namespace velmora::testing
