#pragma once
// Drawing a window designed in fixed units at a scale: the windows keep their designed
// geometry (the main window's 980 by 720 units, the scripts' $form commands and config.ini
// all speak units) and each control, font and skin measure is multiplied by the scale, so
// text and frames are drawn sharp at any size rather than stretched as a bitmap.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

class QScreen;
class QWidget;

namespace velmora {

// The zoom steps Ctrl+= and Ctrl+- move through.
inline constexpr double kZoomSteps[] = {0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
double NextZoomStep(double scale);
double PreviousZoomStep(double scale);

// The largest scale at which `units` fits in `area` (both sides; the aspect is kept).
double FitScale(QSize units, QSize area);
// A rectangle in units at the scale, from `origin`, its edges rounded so that neighbours
// meet without gaps.
QRect ScaledRect(const QRect& units, double scale, QPoint origin = {});
int Scaled(int units, double scale);

// Where a window of `frame` goes on the desktop: inside the area that holds most of it,
// or when it is off every area, inside the nearest one; moved as little as it can be,
// its top-left corner kept visible when it is larger than the area.
QRect KeepOnScreens(const QRect& frame, const QList<QRect>& areas);
// The same with the screens' available areas (desktop minus panels).
QRect KeepOnScreens(const QRect& frame);
// The screen whose available area holds most of `frame`, or the nearest one.
QScreen* ScreenFor(const QRect& frame);

// The skin's style sheet with every pixel measure (borders, paddings, scroll bar widths)
// multiplied by the scale; a measure that was not zero stays at least one pixel.
QString ScaledStyleSheet(const QString& sheet, double scale);

// The controls of a window as designed, in units; Apply puts them at a scale.
class ScaledPlacement {
 public:
  // A control's box. A label's size of 0 by 0 means its text's natural size.
  void Place(QWidget* control, const QRect& units);
  // A control's font: a Windows face name and a pixel height (the window itself too).
  void SetFont(QWidget* control, const QString& face, int pixelHeight);
  // The window's size in units, fixed.
  void Fix(QWidget* window, QSize units);
  void Apply(double scale);

 private:
  struct Box {
    QWidget* control;
    QRect units;
  };
  struct Font {
    QWidget* control;
    QString face;
    int pixelHeight;
  };
  QWidget* window_ = nullptr;
  QSize windowUnits_;
  std::vector<Font> fonts_;
  std::vector<Box> boxes_;
};

}  // namespace velmora
