#include "app/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace quillot {

namespace {

class FirstPaintHook : public QObject {
 public:
  FirstPaintHook(QWidget* window, std::function<void()> then)
      : QObject(window), window_(window), then_(std::move(then)) {}

  // Every widget is watched: a window covered by opaque controls gets no
  // paint event of its own, only its controls do.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_ && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == window_) {
      seen_ = true;
      QCoreApplication::instance()->removeEventFilter(this);
      // Posted, so it runs once this paint and the flush to the screen are done.
      QTimer::singleShot(0, this, [this] {
        then_();
        deleteLater();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* window_;
  std::function<void()> then_;
  bool seen_ = false;
};

}  // namespace

void after_first_paint(QWidget* window, std::function<void()> then) {
  QCoreApplication::instance()->installEventFilter(new FirstPaintHook(window, std::move(then)));
}

}  // namespace quillot
