#pragma once
// The main window (object name TForm1): a view over the core's MainWindowState. From top to
// bottom: the title bar with "Audio..." and "Инвентарь", the picture (337 units, the
// picture stretched to its box), the story text (208 units) and the choice list filling
// the rest. Fixed size, a close box, no minimise or maximise. It draws the core's state
// whenever the core reports a change and forwards the player's input to the core.
//
// The window is designed in units (the core's geometry, config.ini and the $form commands
// use them) and drawn at a scale: the player's zoom, never more than fits the available
// area of the screen it is on; full screen, the largest that fits, centred on black.
// Positions are desktop points and are kept on a screen.
#include <QList>
#include <QPoint>
#include <QWidget>

#include "base/main_window_state.h"

class QAction;
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

  // The window's frame around its client area (title bar and controls), in units.
  static constexpr int kBorder = velmora::MainWindowState::kFrameBorder;

  // The controls; their object names are the designed ones the skin and plug-ins see.
  TitleBar* titleBar;      // sTitleBar1
  QLabel* storyPicture;    // Storypic
  QTextEdit* storyText;    // Story
  ChoiceList* choiceList;  // sListBox1

  // The window's own commands, with their keys (they work while the window is active).
  QAction* zoomInAction;     // Ctrl+=
  QAction* zoomOutAction;    // Ctrl+-
  QAction* zoomResetAction;  // Ctrl+0
  QAction* fullScreenAction;  // F11
  QAction* libraryAction;    // the game library; hidden until the program offers one
  QAction* audioAction;      // "Audio...", as the title bar's item
  QAction* inventoryAction;  // "Инвентарь", as the title bar's item
  QAction* keysAction;       // F1: the list of keys
  QAction* aboutAction;
  // The menu key and Shift+F10 open the title bar's menu.
  // What the title bar's context menu offers, in order; append to offer more (a
  // separator is an action with isSeparator()).
  QList<QAction*> titleMenuActions;

  // The scale the window is drawn at: device-independent pixels per unit.
  double scale() const { return scale_; }
  // The player's zoom; the scale follows it as far as the screen allows.
  void SetZoom(double zoom);
  void SetFullScreen(bool on);
  // The player's text size in points for the story text and the choices (0: the game's
  // font), kept apart from the zoom.
  void SetTextSize(int points);
  bool fullScreen() const { return fullScreen_; }

 signals:
  // The window has closed: the program ends (its shutdown runs).
  void closed();
  void scaleChanged(double scale);
  void libraryRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Redraw(unsigned parts);
  void DrawGeometry();
  void DrawFont();
  void LayOut();
  void ApplyScale(double scale);
  void ShowTitleMenu(QPoint at);
  void ShowKeys();
  void ShowAbout();
  void DrawStoryText(bool caretToStart);
  void DrawPicture();
  void NamePicture();
  void FitPicture();
  QSize UnitSize() const;
  QString Screen(const std::string& bytes) const;

  Game& game_;
  double zoom_ = 1.0;
  int textSize_ = 0;
  double scale_ = 1.0;
  bool fullScreen_ = false;
  bool watchingScreen_ = false;
  bool placing_ = false;  // moves made while placing the window are not the player's
  QPoint origin_;         // where the form starts inside the window (full screen)
};

}  // namespace velmora
