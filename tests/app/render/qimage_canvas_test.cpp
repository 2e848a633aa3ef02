#include "app/render/qimage_canvas.h"

#include <gtest/gtest.h>

#include "app/render/art.h"

namespace quillot {
namespace {

QColor at(const QImageCanvas& c, int x, int y) { return c.image().pixelColor(x, y); }
const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlueQ(0, 0, 255), kWhite(255, 255, 255);

TEST(QImageCanvas, RectangleEndsBeforeItsSecondCornerWithAOnePixelOutline) {
  QImageCanvas c(nullptr);
  c.brush = 0x0000FF;  // red
  c.pen = 0x00FF00;    // green
  c.rectangle(10, 20, 15, 26);
  EXPECT_EQ(at(c, 10, 20), kGreen);
  EXPECT_EQ(at(c, 14, 25), kGreen);
  EXPECT_EQ(at(c, 12, 22), kRed);
  EXPECT_EQ(at(c, 15, 22), kWhite) << "x2 is exclusive";
  EXPECT_EQ(at(c, 12, 26), kWhite) << "y2 is exclusive";
  // Far outside the picture, drawn or not, nothing breaks.
  c.rectangle(-2147483647 - 1, -5, 2147483647, 2147483647);
  EXPECT_EQ(at(c, 200, 150), kRed);
}

TEST(QImageCanvas, EllipseStaysInsideItsBoxAndAGiantOneFillsThePicture) {
  QImageCanvas c(nullptr);
  c.brush = c.pen = 0xFF0000;
  c.ellipse(100, 100, 120, 120);
  EXPECT_EQ(at(c, 110, 110), kBlueQ);
  EXPECT_EQ(at(c, 100, 100), kWhite) << "the corner of the box is outside the disc";
  EXPECT_EQ(at(c, 120, 110), kWhite);
  c.brush = 0x0000FF;
  c.ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(at(c, 0, 0), kRed);
  EXPECT_EQ(at(c, 399, 299), kRed);
}

TEST(QImageCanvas, SpritesScaleOpaquelyAndMirrorWhenGivenBackToFront) {
  PictureSet pictures = load_pictures();
  QImageCanvas c(&pictures);
  c.sprite(Picture::ene1, 50, 50, 90, 90);  // 20 x 20 drawn at 40 x 40
  EXPECT_EQ(at(c, 50, 50), kBlueQ) << "the picture's blue background is copied";
  EXPECT_EQ(at(c, 95, 95), kWhite);
  c.sprite(Picture::my1, 300, 300, 200, 200);
  c.sprite(Picture::my1, 0, 0, 2147483647, 10);  // an absurd size must not hang or crash
}

TEST(QImageCanvas, TextCellIsOpaqueAndTheBackslashIsAYenSign) {
  QImageCanvas c(nullptr);
  c.brush = 0x000000;
  c.set_font(0xFFFFFF, 8, true);
  const int w = c.text_width("\\");
  EXPECT_GT(w, 0);
  EXPECT_EQ(c.text_width("\\"), QImageCanvas(nullptr).text_width("\\"));
  c.text(10, 10, "  ");
  EXPECT_EQ(at(c, 11, 11), QColor(0, 0, 0)) << "the cell is filled with the brush";
  EXPECT_EQ(game_text("\\12"), QString::fromUtf8("¥12"));
  EXPECT_EQ(c.text_height("x"), QImageCanvas(nullptr).text_height("y"));
  c.set_font(0xFFFFFF, 2147483647, true);  // a combo-sized pop-up from an edited save
  c.text(0, 0, "123p");
}

TEST(QImageCanvas, CopyRectScalesAPartOntoTheWhole) {
  QImageCanvas c(nullptr);
  c.brush = c.pen = 0x0000FF;
  c.rectangle(0, 0, 200, 300);  // left half red
  c.copy_rect(0, 0, 200, 300, 0, 0, 400, 300);
  EXPECT_EQ(at(c, 399, 150), kRed);
}

}  // namespace
}  // namespace quillot
