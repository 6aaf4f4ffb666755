#include "ui/window_scale.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/fonts.h"

namespace velmora {

double NextZoomStep(double scale) {
  for (double step : kZoomSteps)
    if (step > scale + 1e-6) return step;
  return std::end(kZoomSteps)[-1];
}

double PreviousZoomStep(double scale) {
  for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
    if (*it < scale - 1e-6) return *it;
  return kZoomSteps[0];
}

double FitScale(QSize units, QSize area) {
  if (units.width() <= 0 || units.height() <= 0) return 1.0;
  return std::min(static_cast<double>(area.width()) / units.width(),
                  static_cast<double>(area.height()) / units.height());
}

int Scaled(int units, double scale) { return static_cast<int>(std::lround(units * scale)); }

QRect ScaledRect(const QRect& units, double scale, QPoint origin) {
  const int left = Scaled(units.left(), scale), top = Scaled(units.top(), scale);
  const int right = Scaled(units.left() + units.width(), scale);
  const int bottom = Scaled(units.top() + units.height(), scale);
  return QRect(origin.x() + left, origin.y() + top, right - left, bottom - top);
}

namespace {

int Overlap(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : common.width() * common.height();
}

// Squared distance from the frame's centre to the nearest point of the area.
double Distance(const QRect& frame, const QRect& area) {
  const QPointF c = QRectF(frame).center();
  const double dx = std::max({area.left() - c.x(), 0.0, c.x() - (area.left() + area.width())});
  const double dy = std::max({area.top() - c.y(), 0.0, c.y() - (area.top() + area.height())});
  return dx * dx + dy * dy;
}

int Best(const QRect& frame, const QList<QRect>& areas) {
  int best = -1, mostOverlap = 0;
  for (int k = 0; k < areas.size(); ++k) {
    const int overlap = Overlap(frame, areas[k]);
    if (overlap > mostOverlap) best = k, mostOverlap = overlap;
  }
  if (best >= 0) return best;
  double nearest = std::numeric_limits<double>::max();
  for (int k = 0; k < areas.size(); ++k) {
    const double d = Distance(frame, areas[k]);
    if (d < nearest) best = k, nearest = d;
  }
  return best;
}

QList<QRect> AvailableAreas() {
  QList<QRect> areas;
  for (QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
  return areas;
}

}  // namespace

QRect KeepOnScreens(const QRect& frame, const QList<QRect>& areas) {
  const int k = Best(frame, areas);
  if (k < 0) return frame;
  const QRect& area = areas[k];
  QRect placed = frame;
  // Right and bottom edges first, then left and top, so a frame larger than the area
  // shows its top-left corner (the title bar and its close box stay reachable).
  if (placed.right() > area.right()) placed.moveRight(area.right());
  if (placed.bottom() > area.bottom()) placed.moveBottom(area.bottom());
  if (placed.left() < area.left()) placed.moveLeft(area.left());
  if (placed.top() < area.top()) placed.moveTop(area.top());
  return placed;
}

QRect KeepOnScreens(const QRect& frame) { return KeepOnScreens(frame, AvailableAreas()); }

QScreen* ScreenFor(const QRect& frame) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  const int k = Best(frame, AvailableAreas());
  return k >= 0 ? screens[k] : QGuiApplication::primaryScreen();
}

QString ScaledStyleSheet(const QString& sheet, double scale) {
  static const QRegularExpression measure(QStringLiteral(R"((-?\d+(?:\.\d+)?)px)"));
  QString scaled;
  qsizetype last = 0;
  for (auto it = measure.globalMatch(sheet); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    const double value = m.captured(1).toDouble();
    long pixels = std::lround(value * scale);
    if (value != 0 && pixels == 0) pixels = value > 0 ? 1 : -1;
    scaled += sheet.mid(last, m.capturedStart() - last) + QString::number(pixels) + QStringLiteral("px");
    last = m.capturedEnd();
  }
  return scaled + sheet.mid(last);
}

void ScaledPlacement::Place(QWidget* control, const QRect& units) { boxes_.push_back({control, units}); }

void ScaledPlacement::SetFont(QWidget* control, const QString& face, int pixelHeight) {
  fonts_.push_back({control, face, pixelHeight});
}

void ScaledPlacement::Fix(QWidget* window, QSize units) {
  window_ = window;
  windowUnits_ = units;
}

void ScaledPlacement::Apply(double scale) {
  if (window_) window_->setFixedSize(Scaled(windowUnits_.width(), scale), Scaled(windowUnits_.height(), scale));
  for (const Font& f : fonts_) f.control->setFont(GameFont(f.face, -f.pixelHeight, scale));
  for (const Box& box : boxes_) {
    if (box.units.size().isNull()) {
      box.control->move(ScaledRect(box.units, scale).topLeft());
      box.control->adjustSize();
    } else {
      QRect rect = ScaledRect(box.units, scale);
      // Font sizes do not scale evenly: a button whose caption outgrows its box at this
      // scale widens about its centre (into the gaps the design leaves between buttons),
      // kept inside the window, rather than cut its caption off.
      if (auto* button = qobject_cast<QAbstractButton*>(box.control); button && window_) {
        const int needed = button->sizeHint().width();
        if (needed > rect.width()) {
          rect.adjust(-(needed - rect.width()) / 2, 0, (needed - rect.width() + 1) / 2, 0);
          const int windowWidth = Scaled(windowUnits_.width(), scale);
          if (rect.right() >= windowWidth) rect.moveRight(windowWidth - 1);
          if (rect.left() < 0) rect.moveLeft(0);
        }
        // So too in height (at small scales): upwards, into the design's gap above.
        if (const int tall = button->sizeHint().height(); tall > rect.height()) rect.setTop(rect.bottom() - tall + 1);
      }
      box.control->setGeometry(rect);
    }
  }
}

}  // namespace velmora
