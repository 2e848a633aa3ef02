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

void measure_first_sound(std::function<int64_t()> heard_ns) {
  bool ok = false;
  const long long t0 = qEnvironmentVariable("QUILLOT_SOUND_T0").toLongLong(&ok);
  if (!ok) return;
  auto* poll = new QTimer(QCoreApplication::instance());
  poll->setInterval(1);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, t0, heard_ns = std::move(heard_ns)] {
    const int64_t heard = heard_ns();
    const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    if (heard == 0 && now - t0 < 5'000'000'000LL) return;
    poll->stop();
    if (heard == 0) {
      std::fprintf(stderr, "first sound: none\n");
    } else {
      std::fprintf(stderr, "first sound: %.1f ms\n", static_cast<double>(heard - t0) / 1e6);
    }
    QCoreApplication::exit(0);
  });
  poll->start();
}

}  // namespace quillot
