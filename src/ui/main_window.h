#pragma once
// The main window, MainWindow: a view over the core's MainWindowState. From top to bottom: the
// title bar with "Audio..." and "Инвентарь", the picture Storypic (337 pixels, the picture
// stretched to its box), the story text Story (208 pixels) and the choice list sListBox1
// filling the rest. Fixed size, a close box, no minimise or maximise. It draws the core's
// state whenever the core reports a change and forwards the player's input to the core.
#include <QWidget>

class QLabel;
class QTextEdit;

namespace velmora {
class Game;
class TitleBar;
class ChoiceList;
}  // namespace velmora

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(velmora::Game& game, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The window's frame around its client area (title bar and controls), in pixels.
  static constexpr int kBorder = 1;

  velmora::TitleBar* sTitleBar1;
  QLabel* Storypic;
  QTextEdit* Story;
  velmora::ChoiceList* sListBox1;

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
  QString Screen(const std::string& bytes) const;

  velmora::Game& game_;
};
