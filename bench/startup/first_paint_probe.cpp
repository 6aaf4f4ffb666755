// Preloaded (LD_PRELOAD) into a Qt program: once the first visible window has painted,
// writes the process's CPU time and peak memory to the file named by FIRST_PAINT_REPORT
// and ends the process at once, so a script can time start-up from launch to that exit
// the same way for any program, without a hook inside it.
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (!seen_ && event->type() == QEvent::Paint && object->isWidgetType() &&
        static_cast<QWidget*>(object)->window()->isVisible()) {
      seen_ = true;
      // Queued: runs once the whole window has painted and gone to the screen.
      QMetaObject::invokeMethod(this, &FirstPaint::Report, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  static void Report() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    if (const char* path = std::getenv("FIRST_PAINT_REPORT")) {
      if (std::FILE* f = std::fopen(path, "w")) {
        std::fprintf(f, "%.1f %ld\n", cpuMs, usage.ru_maxrss);
        std::fclose(f);
      }
    }
    _exit(0);
  }
  bool seen_ = false;
};

void Install() { QCoreApplication::instance()->installEventFilter(new FirstPaint); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Install)
