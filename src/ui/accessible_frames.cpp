#include "ui/accessible_frames.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QWidget>

namespace velmora {

namespace {

// The main window, the audio options and the inventory (the designed class names).
bool IsFramelessWindow(QObject* object) {
  if (!object || !object->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(object);
  const QString name = widget->objectName();
  return widget->isWindow() && !qobject_cast<QDialog*>(widget) &&
         (name == QLatin1String("TForm1") || name == QLatin1String("TForm2") || name == QLatin1String("TForm3"));
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
