#include "app/render/art.h"

#include <QString>

namespace quillot {

namespace {

const char* const kPictureNames[kPictureCount] = {"my1",  "my2",  "my3",  "my4",  "my5",  "my6",  "ene1",
                                                  "ene2", "ene3", "ene4", "ene5", "ene6", "ene7", "ene8"};

QImage stored(const char* name, int w, int h) {
  QImage img(QStringLiteral(":/art/%1.bmp").arg(name));
  if (img.isNull()) {
    // Only a broken build lacks its pictures; a blue square keeps the game playable.
    img = QImage(w, h, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 255));
  }
  return img;
}

}  // namespace

PictureSet load_pictures() {
  PictureSet set;
  for (int i = 0; i < kPictureCount; ++i) set[static_cast<size_t>(i)] = stored(kPictureNames[i], 20, 20);
  return set;
}

QImage title_picture() { return stored("image1", 100, 100); }

QIcon game_icon() {
  // Up to 64 pixels: window frames and task bars show no bigger, and every
  // size is sent to the X server at start-up (256 x 256 alone costs 10 ms).
  // Menus take the larger ones from the installed icon theme.
  QIcon icon;
  for (int size : {16, 32, 48, 64})
    icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/quillot.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace quillot
