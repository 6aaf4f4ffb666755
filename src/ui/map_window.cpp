#include "ui/map_window.h"

#include <QAction>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>
#include <set>
#include <sstream>

#include "base/game.h"
#include "base/ini_document.h"
#include "base/text.h"
#include "script/script_library.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "tools/coverage.h"
#include "tools/map_output.h"
#include "tools/story_sections.h"

namespace velmora {

namespace {

constexpr double kInch = 72;  // Graphviz's plain output is in inches

// A page's box: a double-click loads its page.
class PageBox : public QGraphicsRectItem {
 public:
  PageBox(const QRectF& rect, std::function<void()> open) : QGraphicsRectItem(rect), open_(std::move(open)) {}

 protected:
  void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override {
    event->accept();
    open_();
  }

 private:
  std::function<void()> open_;
};

}  // namespace

MapWindow::MapWindow(Game& game, QWidget* parent)
    : QWidget(parent, Qt::Window), game_(game), scene_(new QGraphicsScene(this)) {
  setWindowTitle(tr("Story map"));
  setAccessibleName(tr("Story map"));
  search = new QLineEdit(this);
  search->setPlaceholderText(tr("Find a page by name"));
  search->setAccessibleName(tr("Find a page"));
  view = new QGraphicsView(scene_, this);
  view->setAccessibleName(tr("The story's pages and the ways between them"));
  view->setDragMode(QGraphicsView::ScrollHandDrag);
  view->setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
  view->setRenderHint(QPainter::Antialiasing);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(search);
  layout->addWidget(view);
  connect(search, &QLineEdit::returnPressed, this, [this] { Find(search->text()); });
  auto* zoomIn = new QAction(tr("Zoom in"), this);
  zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence::ZoomIn});
  connect(zoomIn, &QAction::triggered, this, [this] { Zoom(1.25); });
  auto* zoomOut = new QAction(tr("Zoom out"), this);
  zoomOut->setShortcut(QKeySequence::ZoomOut);
  connect(zoomOut, &QAction::triggered, this, [this] { Zoom(0.8); });
  addActions({zoomIn, zoomOut});
  resize(900, 700);
  // The run moves on while the map is open.
  auto* refresh = new QTimer(this);
  connect(refresh, &QTimer::timeout, this, &MapWindow::Refresh);
  refresh->start(500);
}

void MapWindow::Zoom(double factor) { view->scale(factor, factor); }

bool MapWindow::Rebuild(std::string& error) {
  if (!game_.config || !game_.story) {
    error = "the game has no story file";
    return false;
  }
  std::unique_ptr<IniDocument> inventory;
  const std::string inv = game_.gameFolder() + "Scripts\\inventory.inv";
  if (game_.files().FileExists(inv)) inventory = std::make_unique<IniDocument>(game_.files(), game_.files().Resolve(inv));
  map_ = BuildStoryMap(*game_.config, *game_.story, StorySectionNames(game_.files(), game_.story->Path()), *game_.scripts,
                       inventory.get(), game_.codec);
  std::string plain;
  if (!LayOutGraph(MapToDot(map_), "plain", plain, error)) return false;

  scene_->clear();
  boxes_.assign(map_.pages.size(), nullptr);
  double height = 0;
  std::istringstream in(plain);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind, id;
    words >> kind;
    if (kind == "graph") {
      double scale = 0, width = 0;
      words >> scale >> width >> height;
    } else if (kind == "node") {
      double x = 0, y = 0, w = 0, h = 0;
      words >> id >> x >> y >> w >> h;
      if (id.size() < 2 || id[0] != 'p' || id.find_first_not_of("0123456789", 1) != std::string::npos) continue;
      const size_t page = std::stoul(id.substr(1));
      if (page >= map_.pages.size()) continue;
      const QRectF rect((x - w / 2) * kInch, (height - y - h / 2) * kInch, w * kInch, h * kInch);
      auto* box = new PageBox(rect, [this, page] { LoadPageAt(page); });
      box->setToolTip(QString::fromStdString(map_.pages[page].firstLine));
      scene_->addItem(box);
      auto* name = new QGraphicsSimpleTextItem(QString::fromStdString(game_.codec.ToUtf8(map_.pages[page].name)), box);
      name->setPos(rect.center() - name->boundingRect().center());
      boxes_[page] = box;
    } else if (kind == "edge") {
      std::string tail, head;
      int points = 0;
      words >> tail >> head >> points;
      QPainterPath path;
      for (int k = 0; k < points; ++k) {
        double x = 0, y = 0;
        words >> x >> y;
        const QPointF p(x * kInch, (height - y) * kInch);
        if (k == 0) path.moveTo(p);
        else path.lineTo(p);
      }
      scene_->addPath(path, QPen(QColor(0x55, 0x55, 0x55)))->setZValue(-1);
    }
  }
  Refresh();
  return true;
}

void MapWindow::Refresh() {
  std::set<size_t> shown;
  std::string name;
  for (const std::string& line : game_.log.Lines())
    if (PageLoadedByLogLine(line, name)) shown.insert(map_.Find(name));
  const size_t current = map_.Find(game_.page->currentPage);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    if (!boxes_[i]) continue;
    boxes_[i]->setBrush(i == current ? QColor(0xff, 0xd5, 0x4f) : shown.count(i) ? QColor(0xc8, 0xe6, 0xc9) : QColor(Qt::white));
    boxes_[i]->setPen(QPen(i == current ? QColor(0xe6, 0x51, 0x00) : QColor(Qt::black), i == current ? 3 : 1));
  }
}

bool MapWindow::Find(const QString& text) {
  const std::string wanted = AsciiLower(text.toStdString());
  if (wanted.empty()) return false;
  for (size_t i = 0; i < map_.pages.size(); ++i) {
    if (!boxes_[i] || AsciiLower(game_.codec.ToUtf8(map_.pages[i].name)).find(wanted) == std::string::npos) continue;
    scene_->clearSelection();
    boxes_[i]->setFlag(QGraphicsItem::ItemIsSelectable);
    boxes_[i]->setSelected(true);
    view->centerOn(boxes_[i]);
    return true;
  }
  return false;
}

void MapWindow::LoadPageAt(size_t page) {
  if (page >= map_.pages.size() || map_.pages[page].missing) return;
  const std::string name = map_.pages[page].name;
  game_.RunEvent([&] { LoadPage(game_, name); });
  Refresh();
}

}  // namespace velmora
