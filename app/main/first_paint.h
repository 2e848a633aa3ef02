#pragma once
#include <QObject>
#include <QWidget>
#include <cstdint>
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

// A measuring aid: when QUILLOT_STARTUP_T0 holds the moment the program was
// launched (nanoseconds since the epoch, as `date +%s%N` prints it), the time
// from then to the window's first finished paint is printed to stderr as
// "first paint: N ms" and the program quits. Without it, nothing happens.
// Added to the hook before its other steps, so none of them holds it up.
void measure_first_paint(AfterFirstPaint& first_paint);

// The same for sound: when QUILLOT_SOUND_T0 holds the moment of the launch,
// the time from then to the first audible block handed to the sound server
// (heard_ns, nanoseconds since the epoch, 0 until then) is printed as
// "first sound: N ms" and the program quits; after 5 s without a sound it
// prints "first sound: none".
void measure_first_sound(std::function<int64_t()> heard_ns);

}  // namespace quillot
