#pragma once
// A game folder with an inventory: definitions, scripts and the neutral picture written
// as a test needs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "inventory/inventory.h"
#include "inventory/inventory_window_state.h"
#include "script/script_library.h"
#include "base/game.h"
#include "support/test_game.h"

namespace velmora::testing {

class InventoryTest : public ::testing::Test {
 protected:
  InventoryTest() {
    tg.dir.Write("Images/default.jpg", "neutral");
    std::filesystem::create_directories(tg.dir.path() / "Scripts");
    game = &tg.Make();
  }

  Inventory& inv() { return *game->inventory; }
  InventoryWindowState& window() { return *game->inventoryWindow; }

  // Writes Scripts/inventory.inv and loads it.
  void Define(const std::string& text) {
    tg.dir.Write("Scripts/inventory.inv", text);
    LoadDefinitions(*game);
  }
  // Writes the script library and loads it.
  void Scripts(const std::string& text) {
    tg.dir.Write("Scripts/Scripts.bsf", text);
    LoadScriptLibrary(*game);
  }
  std::string StateFile() const { return tg.dir.Read("Scripts/inventory.sav"); }
  std::string StatePath() const { return (tg.dir.path() / "Scripts" / "inventory.sav").string(); }

  // The log's messages since the last ClearLog, without their date and time.
  std::vector<std::string> Log() const {
    std::vector<std::string> out;
    const auto& lines = game->log.Lines();
    for (size_t k = logMark_; k < lines.size(); ++k) {
      const std::string& line = lines[k];
      const size_t second = line.find(" | ", line.find(" | ") + 3);
      out.push_back(second == std::string::npos ? line : line.substr(second + 3));
    }
    return out;
  }
  void ClearLog() { logMark_ = game->log.Lines().size(); }

  TestGame tg;
  Game* game = nullptr;

 private:
  size_t logMark_ = 0;
};

// One item section with the given keys.
inline std::string ItemSection(int n, const std::string& keys) { return "[Item" + std::to_string(n) + "]\n" + keys; }

}  // namespace velmora::testing
