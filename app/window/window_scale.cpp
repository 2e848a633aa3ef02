#include "app/window/window_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace quillot {

int largest_scale_fitting(QSize room) {
  for (int s = kMaxScale; s > kMinScale; --s) {
    if (kClientSize.width() * s <= room.width() && kClientSize.height() * s <= room.height()) return s;
  }
  return kMinScale;
}

int largest_window_scale(QRect available) { return largest_scale_fitting(available.size() - kFrameSize); }

QRect screen_area(const QWidget* window, bool available) {
  const QScreen* s = window != nullptr ? window->screen() : nullptr;
  if (s == nullptr) s = QGuiApplication::primaryScreen();
  if (s == nullptr) return QRect(QPoint(), kClientSize + kFrameSize);
  return available ? s->availableGeometry() : s->geometry();
}

int largest_window_scale(const QWidget* window) { return largest_window_scale(screen_area(window, true)); }

int unscale(int window_coordinate, int scale) {
  const int q = window_coordinate / scale;
  return (window_coordinate % scale != 0 && window_coordinate < 0) ? q - 1 : q;
}

QPoint window_position(int scale, QRect available) {
  const QSize outer = kClientSize * scale + kFrameSize;
  if (scale == 1 && QRect(kHomePosition, outer).intersected(available) == QRect(kHomePosition, outer))
    return kHomePosition;
  return QPoint(available.x() + std::max(0, (available.width() - outer.width()) / 2),
                available.y() + std::max(0, (available.height() - outer.height()) / 2));
}

QPoint centred_offset(QSize area, int scale) {
  const QSize game = kClientSize * scale;
  return QPoint(std::max(0, (area.width() - game.width()) / 2),
                std::max(0, (area.height() - game.height()) / 2));
}

void WidgetScaler::capture(QWidget* root) {
  entries_.clear();
  for (QWidget* w : root->findChildren<QWidget*>()) {
    entries_.push_back(Entry{w, w->geometry(), w->font(), w->parentWidget() == root});
  }
}

void WidgetScaler::apply(int scale, QPoint offset) {
  for (const Entry& e : entries_) {
    if (e.widget.isNull()) continue;
    QRect r(e.geometry.topLeft() * scale, e.geometry.size() * scale);
    if (e.top_level_child) r.translate(offset);
    e.widget->setGeometry(r);
    QFont f = e.font;
    if (f.pixelSize() > 0) {
      f.setPixelSize(f.pixelSize() * scale);
    } else {
      f.setPointSizeF(f.pointSizeF() * scale);
    }
    e.widget->setFont(f);
  }
}

QRect WidgetScaler::base_geometry(const QWidget* widget) const {
  for (const Entry& e : entries_) {
    if (e.widget == widget) return e.geometry;
  }
  return {};
}

}  // namespace quillot
