#include "ui/accessible_frames.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QWidget>

namespace velmora {

namespace {

// Our own plain top-level windows (the main window, the audio options, the inventory, the
// library, the story map): Qt gives a plain widget the role of a filler, which a screen
// reader does not announce as a window. Dialogs keep their dialog role, popups and Qt's
// own widgets their interfaces.
bool IsFramelessWindow(QObject* object) {
  if (!object || !object->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(object);
  return widget->isWindow() && widget->windowType() == Qt::Window && !qobject_cast<QDialog*>(widget) &&
         QLatin1String(object->metaObject()->className()).startsWith(QLatin1String("velmora::"));
}

QAccessibleInterface* FrameFactory(const QString& key, QObject* object) {
  // Asked once per class up the hierarchy: answer for the most derived one only.
  if (!IsFramelessWindow(object) || key != QLatin1String(object->metaObject()->className())) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

void InstallAccessibleFrames() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(FrameFactory);
}

}  // namespace velmora
