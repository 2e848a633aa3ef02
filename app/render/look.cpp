#include "app/render/look.h"

namespace quillot {

const char* const kAppTitle = "BRASKO";
const char* const kGameFontFamily = "IPAPGothic";

QFont game_font(int pixel_height, bool bold, bool italic) {
  QFont f(kGameFontFamily);
  f.setPixelSize(pixel_height);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

}  // namespace quillot
