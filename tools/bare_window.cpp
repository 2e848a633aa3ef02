// The yardstick for the game's start-up: a bare Qt window of the game's size
// at the scale a first run picks, timed to its first paint the same way.
//   QUILLOT_STARTUP_T0=$(date +%s%N) bare_window
#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "app/startup_probe.h"
#include "app/window_scale.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int scale = screen != nullptr ? quillot::largest_window_scale(screen->availableGeometry()) : 1;
  window.setFixedSize(quillot::kClientSize * scale);
  quillot::measure_first_paint(window);
  window.show();
  return QApplication::exec();
}
