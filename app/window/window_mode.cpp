// The main window's size and place: the scale the game is drawn at, full
// screen, and the texts that grow with them. None of it reaches the game.
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "app/window/form.h"

namespace quillot {

QRect TForm1::game_area() const {
  const QPoint offset = settings_.now().fullscreen ? centred_offset(size(), shown_scale_) : QPoint();
  return QRect(offset, kClientSize * shown_scale_);
}

int TForm1::scale_to_show() const {
  if (settings_.now().fullscreen) return largest_scale_fitting(screen_area(this, false).size());
  // A remembered scale too big for today's screen shows at the largest
  // that fits, and is still remembered for a larger one.
  return std::clamp(settings_.now().scale, kMinScale, largest_window_scale(this));
}

void TForm1::lay_out_window() {
  shown_scale_ = scale_to_show();
  if (settings_.now().fullscreen) {
    // A window manager's frame, measured while there is one to measure.
    if (isVisible() && !isFullScreen()) frame_offset_ = geometry().topLeft() - frameGeometry().topLeft();
    // Without a window manager a full-screen request leaves the window as it
    // was, so it is sized to the screen here.
    const QRect full = screen_area(this, false);
    scaler_.apply(shown_scale_, centred_offset(full.size(), shown_scale_));
    setFixedSize(full.size());
    move(full.topLeft());
    setWindowState(windowState() | Qt::WindowFullScreen);
  } else {
    scaler_.apply(shown_scale_, QPoint());
    const bool leaving_full_screen = isFullScreen();
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    setFixedSize(kClientSize * shown_scale_);
    const QPoint place = window_position(shown_scale_, screen_area(this, true));
    // Back from full screen the frame is not there yet, and move() would put
    // the window's inside where the frame's corner belongs.
    if (leaving_full_screen) {
      setGeometry(QRect(place + frame_offset_, size()));
    } else {
      move(place);
    }
  }
  fit_title_picture();
  QFont hint = font();
  hint.setPixelSize(12 * shown_scale_);
  QToolTip::setFont(hint);
  fit_rank_title();
  toast_->label()->hide();
  menu_->set_scale(shown_scale_);
  options_.dialogs->set_scale(shown_scale_);
  update();
}

void TForm1::fit_rank_title() {
  // Measuring the title loads its font; a hidden shop waits until it is shown.
  if (shop_box->isHidden()) {
    rank_fit_due_ = true;
    return;
  }
  rank_fit_due_ = false;
  const QRect base = scaler_.base_geometry(rank_l);
  if (base.isNull()) return;
  const int s = shown_scale_;
  const int right = (base.x() + base.width()) * s;
  const QFontMetrics metrics = rank_l->fontMetrics();
  const QString text = rank_l->text();
  // The last glyph's ink may reach past its advance (the sound mark of ド,
  // ﾞ): the text keeps that much off the right edge, or it is cut there.
  const int overhang = text.isEmpty() ? 0 : std::max(0, -metrics.rightBearing(text.back()));
  rank_l->setContentsMargins(0, 0, overhang + s, 0);
  // A pixel of room per scale step on each side, as the box has for its own title.
  const int needed = metrics.horizontalAdvance(text) + overhang + 2 * s;
  const int width = std::max(base.width() * s, needed);
  rank_l->setGeometry(right - width, base.y() * s, width, base.height() * s);
}

void TForm1::paintEvent(QPaintEvent*) {
  // In full screen the game lies centred on black.
  if (settings_.now().fullscreen) QPainter(this).fillRect(rect(), Qt::black);
}

void TForm1::set_scale(int scale) {
  scale = std::clamp(scale, kMinScale, kMaxScale);
  // A window bigger than the screen would hide the bird and the shop's last
  // row, and would come back so at every start.
  if (scale > largest_window_scale(this)) {
    toast_->show_text(tr("×%1 は画面に入りません").arg(scale), game_area(), shown_scale_);
    return;
  }
  settings_.set(&Settings::scale, scale);
  lay_out_window();
}

void TForm1::set_fullscreen(bool on) {
  settings_.set(&Settings::fullscreen, on);
  lay_out_window();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange && isMinimized()) set_paused(true);
  if (event->type() == QEvent::LanguageChange) {
    retranslate();
    Timer2Timer();  // and the texts built from the profile
  }
  QWidget::changeEvent(event);
}

}  // namespace quillot
