#pragma once
#include <QPainter>
#include <QRect>

namespace quillot {

// "80%" in the playfield's top right corner, under the status line, while the
// game runs at a gentler pace: small and faint, so it tells without covering
// anything that moves. Drawn over the playfield as the window shows it, never
// into the game's pictures (a replay draws those the same at any pace).
void paint_pace_mark(QPainter& painter, QRect area, int scale, int percent);

}  // namespace quillot
