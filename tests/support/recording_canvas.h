#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "game/canvas.h"

namespace quillot::testing {

// Records every primitive with the drawing state in force at the time, so a
// test can check what a tick drew, in which colours and in which order.
class RecordingCanvas : public Canvas {
 public:
  enum class Op { Rectangle, Ellipse, Sprite, Text, Copy };
  struct Call {
    Op op;
    int32_t x1, y1, x2, y2;
    Color brush, pen, font_color;
    int32_t font_size;
    bool font_bold;
    Picture picture;
    std::string text;
  };
  std::vector<Call> calls;

  void rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override { add(Op::Rectangle, x1, y1, x2, y2); }
  void ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override { add(Op::Ellipse, x1, y1, x2, y2); }
  void sprite(Picture p, int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    add(Op::Sprite, x1, y1, x2, y2).picture = p;
  }
  void text(int32_t x, int32_t y, std::string_view bytes) override { add(Op::Text, x, y, x, y).text = bytes; }
  int32_t text_width(std::string_view bytes) override { return static_cast<int32_t>(bytes.size()) * 8; }
  int32_t text_height(std::string_view) override { return 16; }
  void copy_rect(int32_t sx1, int32_t sy1, int32_t sx2, int32_t sy2, int32_t, int32_t, int32_t, int32_t) override {
    add(Op::Copy, sx1, sy1, sx2, sy2);
  }

  std::vector<Call> of(Op op) const {
    std::vector<Call> out;
    for (const auto& c : calls)
      if (c.op == op) out.push_back(c);
    return out;
  }

 private:
  Call& add(Op op, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    calls.push_back(Call{op, x1, y1, x2, y2, brush, pen, font_color, font_size, font_bold, Picture::my1, {}});
    return calls.back();
  }
};

}  // namespace quillot::testing
