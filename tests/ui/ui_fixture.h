#pragma once
// The Qt application for the window tests (skinned, as the program is) and a game whose
// main window is on screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/test_game.h"
#include "ui/main_window.h"

namespace velmora::testing {

QApplication& TestApplication();

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { TestApplication(); }
  // Writes the game's files, makes the Game and the main window (hidden).
  Game& Make(const std::string& story, const std::string& config = "[GameForm]\nCaption=Test\n");
  // Shows the main window and waits until it is on screen.
  void Show();
  bool Logged(const std::string& message) {
    const auto m = LogMessages(tg.game());
    return std::find(m.begin(), m.end(), message) != m.end();
  }

  TestGame tg;
  std::unique_ptr<MainWindow> window;
};

}  // namespace velmora::testing
