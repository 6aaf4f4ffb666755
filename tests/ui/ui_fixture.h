#pragma once
// The Qt application for the window tests (skinned, as the program is) and a game whose
// main window is on screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRect>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/test_game.h"
#include "ui/main_window.h"

namespace velmora::testing {

QApplication& TestApplication();

// Whether the text drawn in `area` of a picture of the screen is whole: no glyph's ink on
// the area's top or bottom edge (with `sides`, on its left or right edge either), and the
// ink at least `inkHeight` less a pixel tall, so nothing was cut off inside. Ink is what
// stands out by more than `contrast` in a colour channel from the commonest colour of its
// own pixel row, which a vertical gradient or a border line shares. Returns what is wrong,
// empty when whole.
std::string CutText(const QImage& shot, const QRect& area, int inkHeight, bool sides = false, int contrast = 16);

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
