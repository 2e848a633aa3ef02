#pragma once
#include <QColor>
#include <QFont>

#include "game/canvas.h"

namespace quillot {

// The game's look outside its pictures: its colours as Qt takes them and the
// font of every text the window draws, at any scale.

// The application title: the caption of every message and error box.
extern const char* const kAppTitle;

// The one place where the game's 0xBBGGRR colours become Qt colours.
inline QColor to_qcolor(Color c) {
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The font that stands in for the game's Japanese proportional Gothic.
extern const char* const kGameFontFamily;
// That font at a height in pixels, as the window's controls and overlays use it.
QFont game_font(int pixel_height, bool bold = false, bool italic = false);

}  // namespace quillot
