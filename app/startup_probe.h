#pragma once
#include <QWidget>

namespace quillot {

// A measuring aid: when QUILLOT_STARTUP_T0 holds the moment the program was
// launched (nanoseconds since the epoch, as `date +%s%N` prints it), the time
// from then to the window's first finished paint is printed to stderr as
// "first paint: N ms" and the program quits. Without it, nothing happens.
void measure_first_paint(QWidget& window);

}  // namespace quillot
