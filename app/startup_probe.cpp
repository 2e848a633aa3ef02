#include "app/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace quillot {

namespace {

class FirstPaint : public QObject {
 public:
  FirstPaint(QWidget* window, long long t0_ns) : QObject(window), window_(window), t0_ns_(t0_ns) {}

  // Watches every widget: a window covered by opaque controls gets no paint
  // event of its own, only its controls do.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_ && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == window_) {
      seen_ = true;
      // Posted, so it runs once this paint and the flush to the screen are done.
      QTimer::singleShot(0, this, [this] {
        const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                  std::chrono::system_clock::now().time_since_epoch())
                                  .count();
        std::fprintf(stderr, "first paint: %.1f ms\n", static_cast<double>(now - t0_ns_) / 1e6);
        QCoreApplication::exit(0);
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* window_;
  long long t0_ns_;
  bool seen_ = false;
};

}  // namespace

void measure_first_paint(QWidget& window) {
  bool ok = false;
  const long long t0 = qEnvironmentVariable("QUILLOT_STARTUP_T0").toLongLong(&ok);
  if (!ok) return;
  QCoreApplication::instance()->installEventFilter(new FirstPaint(&window, t0));
}

}  // namespace quillot
