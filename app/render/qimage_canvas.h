#pragma once
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "app/render/look.h"
#include "game/canvas.h"

namespace quillot {

// The 14 stored pictures, indexed by Picture.
using PictureSet = std::array<QImage, kPictureCount>;

// A Canvas on a 400 x 300 QImage with GDI-like rules: x2/y2 exclusive,
// 1-pixel outlines, opaque text cells, nearest-neighbour scaling.
class QImageCanvas : public Canvas {
 public:
  explicit QImageCanvas(const PictureSet* pictures, int width = 400, int height = 300);
  ~QImageCanvas() override;
  QImageCanvas(const QImageCanvas&) = delete;
  QImageCanvas& operator=(const QImageCanvas&) = delete;

  const QImage& image() const { return image_; }
  // Replaces the picture (the start bitmap); keeps the drawing state.
  void load(const QImage& picture);
  // Copies all of another canvas's picture onto this one.
  void copy_from(const QImageCanvas& other);

  void rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void sprite(Picture picture, int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void text(int32_t x, int32_t y, std::string_view bytes) override;
  int32_t text_width(std::string_view bytes) override;
  int32_t text_height(std::string_view bytes) override;
  void copy_rect(int32_t sx1, int32_t sy1, int32_t sx2, int32_t sy2, int32_t dx1, int32_t dy1, int32_t dx2,
                 int32_t dy2) override;

 private:
  void apply_font();
  // A text's whole cell, drawn once: drawing glyphs is most of what a busy
  // tick costs, and the same few texts in the same colours come back tick
  // after tick, so later draws are a plain copy.
  const QImage& cell(std::string_view bytes);

  const PictureSet* pictures_;
  QImage image_;
  std::unique_ptr<QPainter> painter_;
  QFont font_;
  std::optional<QFontMetrics> metrics_;
  std::unordered_map<std::string, QImage> cells_;
  // Sprites already scaled to the sizes in use, by picture, width and height.
  std::unordered_map<uint64_t, QImage> scaled_;
  std::string key_;
  int32_t applied_size_ = -1;
  bool applied_bold_ = false;
};

// Text bytes as the game's fonts show them: 0x5C is the yen sign.
QString game_text(std::string_view bytes);

}  // namespace quillot
