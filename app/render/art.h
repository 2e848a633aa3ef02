#pragma once
#include <QIcon>
#include <QImage>

#include "app/render/qimage_canvas.h"

namespace quillot {

// The stored pictures, built into the program: the 14 sprites and the title.
PictureSet load_pictures();
QImage title_picture();
// The program's icon at every size it is drawn in, for the window and the task bar.
QIcon game_icon();

}  // namespace quillot
