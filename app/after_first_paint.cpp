#include "app/after_first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

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

}  // namespace quillot
