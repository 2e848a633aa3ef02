// The yardstick for the game's start-up: a bare Qt window of the game's size
// at the scale a first run picks, timed to its first paint the same way.
//   QUILLOT_STARTUP_T0=$(date +%s%N) bare_window
#include <QApplication>
#include <QWidget>

#include "app/main/first_paint.h"
#include "app/window/window_scale.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  const int scale = quillot::largest_window_scale(nullptr);
  window.setFixedSize(quillot::kClientSize * scale);
  quillot::AfterFirstPaint first_paint(window);
  quillot::measure_first_paint(first_paint);
  window.show();
  return QApplication::exec();
}
