#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>

namespace quillot {

// A measuring aid: when QUILLOT_STARTUP_T0 holds the moment the program was
// launched (nanoseconds since the epoch, as `date +%s%N` prints it), the time
// from then to the window's first finished paint is printed to stderr as
// "first paint: N ms" and the program quits. Without it, nothing happens.
void measure_first_paint(QWidget& window);

// The same for sound: when QUILLOT_SOUND_T0 holds the moment of the launch,
// the time from then to the first audible block handed to the sound server
// (heard_ns, nanoseconds since the epoch, 0 until then) is printed as
// "first sound: N ms" and the program quits; after 5 s without a sound it
// prints "first sound: none".
void measure_first_sound(std::function<int64_t()> heard_ns);

}  // namespace quillot
