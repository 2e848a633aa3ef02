#include "app/window/pace_mark.h"

#include "app/render/look.h"

namespace quillot {

namespace {

// Below the status line (10 px text on a dark band), clear of the bombs and
// the guard at the bottom.
constexpr int kTop = 14;
constexpr int kRightGap = 3;
constexpr int kFontPx = 9;

}  // namespace

void paint_pace_mark(QPainter& painter, QRect area, int scale, int percent) {
  const QString text = QString("%1%").arg(percent);
  const QFont font = game_font(kFontPx * scale, true);
  const QFontMetrics metrics(font);
  const QSize size(metrics.horizontalAdvance(text) + 4 * scale, metrics.height());
  const QRect box(QPoint(area.right() + 1 - kRightGap * scale - size.width(), area.top() + kTop * scale),
                  size);
  painter.save();
  painter.fillRect(box, QColor(0, 0, 0, 110));
  painter.setFont(font);
  painter.setPen(QColor(0xCD, 0xF9, 0x00, 200));
  painter.drawText(box, Qt::AlignCenter, text);
  painter.restore();
}

}  // namespace quillot
