#include "app/window/overlays.h"

#include <QCoreApplication>

#include "app/render/look.h"

namespace quillot {

namespace {

constexpr int kToastMs = 1000;

}  // namespace

void draw_scaled_playfield(QPainter& painter, const QImage& picture, int scale) {
  if (scale == 1) {
    painter.drawImage(0, 0, picture);
    return;
  }
  // Without smooth transformation the raster engine samples the nearest
  // pixel, which with a whole-number factor gives exact blocks.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(0, 0, picture.width() * scale, picture.height() * scale), picture);
}

void paint_pause(QPainter& painter, QRect area, int scale) {
  const int band = 76 * scale;
  const QRect strip(area.x(), area.center().y() - band / 2, area.width(), band);
  painter.fillRect(strip, QColor(0, 0, 0, 170));
  painter.setPen(Qt::white);
  painter.setFont(game_font(36 * scale, true));
  painter.drawText(strip.adjusted(0, 6 * scale, 0, -26 * scale), Qt::AlignCenter, "PAUSE");
  painter.setFont(game_font(12 * scale, false));
  painter.drawText(strip.adjusted(0, band - 26 * scale, 0, -6 * scale), Qt::AlignCenter,
                   QCoreApplication::translate("quillot", "P・クリックで再開　F1 操作方法"));
}

Toast::Toast(QWidget* parent) : label_(new QLabel(parent)) {
  label_->hide();
  label_->setAlignment(Qt::AlignCenter);
  label_->setAutoFillBackground(true);
  QPalette pal = label_->palette();
  pal.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
  pal.setColor(QPalette::WindowText, QColor(0x00, 0xF9, 0xCD));
  label_->setPalette(pal);
  hide_.setSingleShot(true);
  hide_.setInterval(kToastMs);
  QObject::connect(&hide_, &QTimer::timeout, label_, &QLabel::hide);
}

void Toast::show_text(const QString& text, QRect game, int scale) {
  label_->setFont(game_font(12 * scale, true));
  label_->setText(text);
  const QSize size(label_->fontMetrics().horizontalAdvance(text) + 12 * scale, 18 * scale);
  label_->setGeometry(QRect(QPoint(game.right() - 6 * scale - size.width(), game.top() + 6 * scale), size));
  label_->show();
  label_->raise();
  hide_.start();
}

}  // namespace quillot
