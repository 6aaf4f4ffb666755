#pragma once
// The story map in author mode: the map of the running game's story laid out by Graphviz,
// the current page highlighted and the pages shown in this run shaded; zoom, pan, search
// by page name, and a double-click on a page loads it as $goto would.
#include <QGraphicsView>
#include <QLineEdit>
#include <QWidget>
#include <vector>

#include "tools/story_map.h"

class QGraphicsRectItem;
class QGraphicsScene;

namespace velmora {

class Game;

class MapWindow : public QWidget {
  Q_OBJECT

 public:
  MapWindow(Game& game, QWidget* parent);

  // Reads the story again and lays it out; false with the reason in `error`.
  bool Rebuild(std::string& error);
  // Shades the pages shown so far and highlights the current one.
  void Refresh();
  // Centres on the first page whose name holds `text` (letter case ignored).
  bool Find(const QString& text);
  // Loads the page as $goto would.
  void LoadPageAt(size_t page);
  void Zoom(double factor);

  QGraphicsView* view;
  QLineEdit* search;
  const StoryMap& map() const { return map_; }
  QGraphicsRectItem* box(size_t page) const { return page < boxes_.size() ? boxes_[page] : nullptr; }

 private:
  Game& game_;
  StoryMap map_;
  QGraphicsScene* scene_;
  std::vector<QGraphicsRectItem*> boxes_;
};

}  // namespace velmora
