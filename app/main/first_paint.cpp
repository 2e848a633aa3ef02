#include "app/main/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace quillot {

AfterFirstPaint::AfterFirstPaint(QWidget& window) : window_(&window) {
  // Every widget is watched: a window covered by opaque controls gets no
  // paint event of its own, only its controls do.
  QCoreApplication::instance()->installEventFilter(this);
}

void AfterFirstPaint::then(std::function<void()> step) {
  steps_.push_back(std::move(step));
  if (painted_) QTimer::singleShot(0, this, [this] { run(); });
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint && !painted_ && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == window_) {
    painted_ = true;
    QCoreApplication::instance()->removeEventFilter(this);
    QTimer::singleShot(0, this, [this] { run(); });
  }
  return QObject::eventFilter(watched, event);
}

void AfterFirstPaint::run() {
  // Taken out first: a step may add another.
  auto steps = std::move(steps_);
  steps_.clear();
  for (auto& step : steps) step();
}

namespace {

long long now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void measure_first_paint(AfterFirstPaint& first_paint) {
  bool ok = false;
  const long long t0 = qEnvironmentVariable("QUILLOT_STARTUP_T0").toLongLong(&ok);
  if (!ok) return;
  // A step runs once the first paint and its flush to the screen are done.
  first_paint.then([t0] {
    std::fprintf(stderr, "first paint: %.1f ms\n", static_cast<double>(now_ns() - t0) / 1e6);
    QCoreApplication::exit(0);
  });
}

void measure_first_sound(std::function<int64_t()> heard_ns) {
  bool ok = false;
  const long long t0 = qEnvironmentVariable("QUILLOT_SOUND_T0").toLongLong(&ok);
  if (!ok) return;
  auto* poll = new QTimer(QCoreApplication::instance());
  poll->setInterval(1);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, t0, heard_ns = std::move(heard_ns)] {
    const int64_t heard = heard_ns();
    if (heard == 0 && now_ns() - t0 < 5'000'000'000LL) return;
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
