#pragma once
// The main window (object name TForm1): a view over the core's MainWindowState. From top to
// bottom: the title bar with "Audio..." and "Инвентарь", the picture (337 pixels, the
// picture stretched to its box), the story text (208 pixels) and the choice list filling
// the rest. Fixed size, a close box, no minimise or maximise. It draws the core's state
// whenever the core reports a change and forwards the player's input to the core.
#include <QWidget>

#include "story/main_window_state.h"

class QLabel;
class QTextEdit;

namespace velmora {

class Game;
class TitleBar;
class ChoiceList;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(Game& game, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The window's frame around its client area (title bar and controls), in pixels.
  static constexpr int kBorder = velmora::MainWindowState::kFrameBorder;

  // The controls; their object names are the designed ones the skin and plug-ins see.
  TitleBar* titleBar;      // sTitleBar1
  QLabel* storyPicture;    // Storypic
  QTextEdit* storyText;    // Story
  ChoiceList* choiceList;  // sListBox1

 signals:
  // The window has closed: the program ends (its shutdown runs).
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Redraw(unsigned parts);
  void DrawGeometry();
  void LayOut();
  void DrawStoryText(bool caretToStart);
  void DrawPicture();
  void FitPicture();
  QString Screen(const std::string& bytes) const;

  Game& game_;
};

}  // namespace velmora
