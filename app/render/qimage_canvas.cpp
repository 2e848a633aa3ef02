#include "app/render/qimage_canvas.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "session/story_file.h"

namespace quillot {

namespace {

// Edited save files can make sizes absurd; shapes far outside the picture look
// the same when cut down to this range and stay cheap to draw.
constexpr int32_t kFar = 8192;
int32_t tame(int32_t v) { return std::clamp(v, -kFar, kFar); }

}  // namespace

QString game_text(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  bool ascii = true;
  for (unsigned char c : bytes) ascii = ascii && c < 0x80;
  if (!ascii) return QString::fromStdString(cp932_to_utf8(bytes)).replace(QChar('\\'), QChar(0x00A5));
  for (unsigned char c : bytes) out += c == 0x5C ? QChar(0x00A5) : QChar(c);
  return out;
}

QImageCanvas::QImageCanvas(const PictureSet* pictures, int width, int height)
    : pictures_(pictures), image_(width, height, QImage::Format_RGB32), font_(kGameFontFamily) {
  image_.fill(Qt::white);
  painter_ = std::make_unique<QPainter>(&image_);
}

QImageCanvas::~QImageCanvas() { painter_->end(); }

void QImageCanvas::load(const QImage& picture) {
  painter_->end();
  image_ = picture.convertToFormat(QImage::Format_RGB32);
  painter_->begin(&image_);
  applied_size_ = -1;
}

void QImageCanvas::copy_from(const QImageCanvas& other) {
  painter_->setCompositionMode(QPainter::CompositionMode_Source);
  painter_->drawImage(0, 0, other.image_);
}

void QImageCanvas::rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  // Cut to one pixel beyond the picture, where an outline can no longer be seen.
  x1 = std::clamp(x1, -1, image_.width() + 1);
  x2 = std::clamp(x2, -1, image_.width() + 1);
  y1 = std::clamp(y1, -1, image_.height() + 1);
  y2 = std::clamp(y2, -1, image_.height() + 1);
  if (x2 - x1 <= 0 || y2 - y1 <= 0) return;
  painter_->fillRect(x1, y1, x2 - x1, y2 - y1, to_qcolor(pen));
  if (x2 - x1 > 2 && y2 - y1 > 2)
    painter_->fillRect(x1 + 1, y1 + 1, x2 - x1 - 2, y2 - y1 - 2, to_qcolor(brush));
}

void QImageCanvas::ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  x1 = tame(x1), y1 = tame(y1), x2 = tame(x2), y2 = tame(y2);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 - x1 < 2 || y2 - y1 < 2) return;
  if (x2 < 0 || y2 < 0 || x1 > image_.width() || y1 > image_.height()) return;
  // A disc that swallows the whole picture (a giant shot from an edited save)
  // is a plain fill, and far cheaper than rasterising its outline.
  const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0, rx = (x2 - x1) / 2.0, ry = (y2 - y1) / 2.0;
  auto inside = [&](double x, double y) {
    return (x - cx) * (x - cx) / (rx * rx) + (y - cy) * (y - cy) / (ry * ry) < 1.0;
  };
  if (inside(0, 0) && inside(image_.width(), 0) && inside(0, image_.height()) &&
      inside(image_.width(), image_.height())) {
    painter_->fillRect(image_.rect(), to_qcolor(brush));
    return;
  }
  painter_->setPen(QPen(to_qcolor(pen), 0));
  painter_->setBrush(to_qcolor(brush));
  painter_->drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QImageCanvas::sprite(Picture picture, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (pictures_ == nullptr) return;
  x1 = tame(x1), y1 = tame(y1), x2 = tame(x2), y2 = tame(y2);
  if (x1 == x2 || y1 == y2) return;
  if (std::max(x1, x2) < 0 || std::max(y1, y2) < 0 || std::min(x1, x2) > image_.width() ||
      std::min(y1, y2) > image_.height())
    return;
  // A rectangle given back to front shows the picture mirrored.
  const bool flip_x = x2 < x1, flip_y = y2 < y1;
  const int w = std::abs(x2 - x1), h = std::abs(y2 - y1);
  const QRect target(std::min(x1, x2), std::min(y1, y2), w, h);
  painter_->setCompositionMode(QPainter::CompositionMode_Source);
  if (w > 512 || h > 512) {
    // Only edited saves make sprites this large: scale on the fly, keep nothing.
    painter_->drawImage(target, (*pictures_)[static_cast<size_t>(picture)].mirrored(flip_x, flip_y));
  } else {
    const uint64_t key = static_cast<uint64_t>(picture) | static_cast<uint64_t>(w) << 8 |
                         static_cast<uint64_t>(h) << 24 | static_cast<uint64_t>(flip_x) << 40 |
                         static_cast<uint64_t>(flip_y) << 41;
    auto it = scaled_.find(key);
    if (it == scaled_.end()) {
      if (scaled_.size() >= 256) scaled_.clear();
      const QImage& source = (*pictures_)[static_cast<size_t>(picture)];
      it = scaled_
               .emplace(key,
                        source.mirrored(flip_x, flip_y).scaled(w, h).convertToFormat(QImage::Format_RGB32))
               .first;
    }
    painter_->drawImage(target.topLeft(), it->second);
  }
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QImageCanvas::apply_font() {
  if (applied_size_ == font_size && applied_bold_ == font_bold) return;
  // Points at 96 dots per inch, kept within what a window can show.
  const int px =
      std::clamp(static_cast<int>(std::lround(static_cast<double>(font_size) * 96.0 / 72.0)), 1, 400);
  font_.setPixelSize(px);
  font_.setBold(font_bold);
  painter_->setFont(font_);
  metrics_.emplace(font_);
  applied_size_ = font_size;
  applied_bold_ = font_bold;
}

const QImage& QImageCanvas::cell(std::string_view bytes) {
  apply_font();
  key_.assign(bytes);
  for (const uint32_t v :
       {static_cast<uint32_t>(font_size), static_cast<uint32_t>(font_bold), font_color, brush})
    key_.append(reinterpret_cast<const char*>(&v), sizeof v);
  auto it = cells_.find(key_);
  if (it == cells_.end()) {
    if (cells_.size() >= 512) cells_.clear();  // pop-up scores can be anything
    const QString s = game_text(bytes);
    QImage img(std::max(1, metrics_->horizontalAdvance(s)), std::max(1, metrics_->height()),
               QImage::Format_RGB32);
    img.fill(to_qcolor(brush));
    QPainter p(&img);
    p.setFont(font_);
    p.setPen(to_qcolor(font_color));
    p.drawText(0, metrics_->ascent(), s);
    p.end();
    it = cells_.emplace(key_, std::move(img)).first;
  }
  return it->second;
}

void QImageCanvas::text(int32_t x, int32_t y, std::string_view bytes) {
  const QImage& img = cell(bytes);
  painter_->setCompositionMode(QPainter::CompositionMode_Source);
  painter_->drawImage(tame(x), tame(y), img);
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

int32_t QImageCanvas::text_width(std::string_view bytes) {
  apply_font();
  return metrics_->horizontalAdvance(game_text(bytes));
}

int32_t QImageCanvas::text_height(std::string_view) {
  apply_font();
  return metrics_->height();
}

void QImageCanvas::copy_rect(int32_t sx1, int32_t sy1, int32_t sx2, int32_t sy2, int32_t dx1, int32_t dy1,
                             int32_t dx2, int32_t dy2) {
  const QRect source(sx1, sy1, sx2 - sx1, sy2 - sy1);
  if (source.width() <= 0 || source.height() <= 0) return;
  const QImage part = image_.copy(source);
  painter_->setCompositionMode(QPainter::CompositionMode_Source);
  painter_->drawImage(QRect(dx1, dy1, dx2 - dx1, dy2 - dy1), part);
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

}  // namespace quillot
