#pragma once
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace quillot {

// Draws the playfield picture enlarged by a whole number with hard pixel
// edges: every game pixel becomes a scale x scale block of one colour.
void draw_scaled_playfield(QPainter& painter, const QImage& picture, int scale);

// "PAUSE" and how to resume, over the frozen playfield as the window shows it
// (never into the game's pictures).
void paint_pause(QPainter& painter, QRect area, int scale);

// A short note in the game's top right corner (the music's volume) that goes
// away by itself after a second; it lies over the playfield and every screen.
class Toast {
 public:
  explicit Toast(QWidget* parent);
  // `game` is where the game's 401 x 301 client area lies in the window.
  void show_text(const QString& text, QRect game, int scale);
  QLabel* label() const { return label_; }

 private:
  QLabel* label_;
  QTimer hide_;
};

}  // namespace quillot
