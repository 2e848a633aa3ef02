#pragma once
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

#include "app/options/settings.h"

namespace quillot {

// The window shows the game at a whole-number scale: every control, every
// font and the playfield picture grow by the same factor. The game itself
// never learns it: mouse positions are mapped back at the playfield's edge.
// The client area at 1x: the three screens laid over the playfield.
inline constexpr QSize kClientSize{401, 301};
// The frame and caption a window manager adds around it, as laid out for 1x
// (an outer size of 409 x 329).
inline constexpr QSize kFrameSize{8, 28};
// Where the window opens at 1x when the screen has room for it.
inline constexpr QPoint kHomePosition{193, 107};

// The largest scale whose client area fits in `room`; at least 1.
int largest_scale_fitting(QSize room);
// The largest scale whose window, frame included, fits in the screen's
// available area: the most a player can be given, and the first start's.
int largest_window_scale(QRect available);
// A window coordinate back in game pixels: whole game pixels, rounded down,
// so that every window pixel of an enlarged game pixel maps to it.
int unscale(int window_coordinate, int scale);
// The screen a window is on (the primary one before it is shown): its whole
// area, or the area free of panels and docks.
QRect screen_area(const QWidget* window, bool available);
// The largest scale that a window of the game fits on its screen, frame and
// all: the first start's, and the most a player can choose.
int largest_window_scale(const QWidget* window);
// Where a window of this scale opens: at 1x the home position when the
// screen has room for it, otherwise centred in the available area.
QPoint window_position(int scale, QRect available);
// Where the game's top left lies in a full-screen area, centred at `scale`.
QPoint centred_offset(QSize area, int scale);

// Keeps the 1x geometry and font of every control of a window and sets them
// afresh for a scale: fonts are rendered at the larger size, never enlarged
// as bitmaps.
class WidgetScaler {
 public:
  // Notes the geometry and font of every descendant of root as they are now.
  void capture(QWidget* root);
  // Lays the controls out at `scale`, the top-level ones moved by `offset`.
  void apply(int scale, QPoint offset);
  // A control's geometry at 1x, as captured.
  QRect base_geometry(const QWidget* widget) const;

 private:
  struct Entry {
    QPointer<QWidget> widget;
    QRect geometry;
    QFont font;
    bool top_level_child = false;
  };
  std::vector<Entry> entries_;
};

}  // namespace quillot
