#pragma once
#include <QImage>

#include "app/qimage_canvas.h"

namespace quillot {

// The stored pictures, built into the program: the 14 sprites and the title.
PictureSet load_pictures();
QImage title_picture();

}  // namespace quillot
