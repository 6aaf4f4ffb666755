#pragma once
// The main window's own title bar: the caption, and at its right end the two items
// "Audio..." and "Инвентарь" beside the close box. Dragging the bar moves the window; a
// right-click asks the window for its menu. Sizes are units, drawn at the window's scale.
#include <QPoint>
#include <QWidget>

class QLabel;
class QToolButton;

namespace velmora {

class TitleBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 30;
  static constexpr int kItemHeight = 26;
  static constexpr int kAudioItemWidth = 55;
  static constexpr int kInventoryItemWidth = 82;

  explicit TitleBar(QWidget* parent);
  void SetCaption(const QString& caption);
  void SetScale(double scale);

  QLabel* caption;
  QToolButton* audioItem;      // sTitleBar1Items0
  QToolButton* inventoryItem;  // sTitleBar1Items1
  QToolButton* closeBox;

 signals:
  void audioClicked();
  void inventoryClicked();
  void closeClicked();
  void menuRequested(QPoint globalPosition);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  double scale_ = 1.0;
  bool dragging_ = false;
  QPoint grab_;  // where the bar was grabbed, relative to the window's corner
};

}  // namespace velmora
