#pragma once
#include <QObject>
#include <QWidget>
#include <functional>
#include <vector>

namespace quillot {

// Work that can wait until the window's first frame is on the screen (the
// music's synth, the gamepads): it would otherwise compete with the first
// paint for the cores and the disk. The steps run in the order they were
// added, from a zero-time timer posted at the window's first paint, so the
// paint and its flush to the screen are done; a step added later runs from a
// zero-time timer of its own.
class AfterFirstPaint : public QObject {
 public:
  explicit AfterFirstPaint(QWidget& window);

  void then(std::function<void()> step);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void run();

  QWidget* window_;
  std::vector<std::function<void()>> steps_;
  bool painted_ = false;
};

}  // namespace quillot
