#pragma once
#include <cstdint>
#include <string_view>

#include "game/random.h"

namespace quillot {

// 24-bit colour written 0xBBGGRR: blue in the high byte, so 0xFF0000 is blue.
using Color = uint32_t;

constexpr Color kBlue = 0xFF0000;

// The stored 20 x 20 pictures: the bird's six frames and the eight enemies.
enum class Picture : uint8_t { my1, my2, my3, my4, my5, my6, ene1, ene2, ene3, ene4, ene5, ene6, ene7, ene8 };
constexpr int kPictureCount = 14;

// A drawing surface with the few primitives the frame tick uses. The drawing
// state (brush, pen, font) lives here and persists between calls and between
// ticks: several things the game draws take whatever colour was set last.
class Canvas {
 public:
  virtual ~Canvas() = default;

  Color brush = 0xFFFFFF;
  Color pen = 0x000000;
  Color font_color = 0x000000;
  int32_t font_size = 8;  // points; pixel height is size * 96 / 72
  bool font_bold = false;

  void outline_follows_fill() { pen = brush; }
  void set_font(Color color, int32_t size, bool bold) {
    font_color = color;
    font_size = size;
    font_bold = bold;
  }

  // Filled with the brush, outlined 1 px with the pen; x2 and y2 are exclusive.
  virtual void rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // The ellipse inscribed in the rectangle, filled and outlined as above.
  virtual void ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // The whole 20 x 20 picture copied opaquely, scaled into the rectangle.
  virtual void sprite(Picture picture, int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // Bytes in the Japanese code page, top-left at (x, y), on a box of the brush colour.
  virtual void text(int32_t x, int32_t y, std::string_view bytes) = 0;
  virtual int32_t text_width(std::string_view bytes) = 0;
  virtual int32_t text_height(std::string_view bytes) = 0;
  // Copies a rectangle of this canvas onto another rectangle of it, scaled.
  virtual void copy_rect(int32_t sx1, int32_t sy1, int32_t sx2, int32_t sy2, int32_t dx1, int32_t dy1,
                         int32_t dx2, int32_t dy2) = 0;
};

// A sprite centred on (x, y) with half-size h.
inline void draw_sprite(Canvas& canvas, Picture picture, int32_t x, int32_t y, int32_t h) {
  canvas.sprite(picture, x - h, y - h, x + h, y + h);
}

// A flat disc that shimmers by a pixel: the four jitters are drawn left, top,
// right, bottom, in that order. The draws belong to the game, not the canvas,
// so a run without a window consumes the same numbers.
inline void jittered_disc(Canvas& canvas, Random& random, int32_t x, int32_t y, int32_t h) {
  canvas.outline_follows_fill();
  const int32_t a = random(2);
  const int32_t b = random(2);
  const int32_t c = random(2);
  const int32_t d = random(2);
  canvas.ellipse(x - h - a, y - h - b, x + h + c, y + h + d);
}

// A canvas that draws nothing: for runs without a window and for benchmarks.
class NullCanvas : public Canvas {
 public:
  void rectangle(int32_t, int32_t, int32_t, int32_t) override {}
  void ellipse(int32_t, int32_t, int32_t, int32_t) override {}
  void sprite(Picture, int32_t, int32_t, int32_t, int32_t) override {}
  void text(int32_t, int32_t, std::string_view) override {}
  int32_t text_width(std::string_view bytes) override { return static_cast<int32_t>(bytes.size()) * font_size * 2 / 3; }
  int32_t text_height(std::string_view) override { return (font_size * 96 + 36) / 72 + 2; }
  void copy_rect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
};

}  // namespace quillot
