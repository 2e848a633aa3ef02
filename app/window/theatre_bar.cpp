#include "app/window/theatre_bar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "app/render/look.h"
#include "session/pace.h"

namespace quillot {

namespace {

constexpr int kTrackLeft = 164, kTrackRight = 322;  // at 1x
const QColor kBack(0, 0, 0, 170);
const QColor kYellow(0xCD, 0xF9, 0x00);

QString speed_text(int index) {
  static const char* const names[] = {"1/4x", "1/2x", "1x", "2x", "4x", "8x", "16x"};
  return names[std::clamp(index, 0, 6)];
}

const char* glyph(TheatreCommand c, bool paused) {
  switch (c) {
    case TheatreCommand::Leave:
      return "x";
    case TheatreCommand::Back:
      return "<<";
    case TheatreCommand::Pause:
      return paused ? ">" : "||";
    case TheatreCommand::Step:
      return ">|";
    case TheatreCommand::Forward:
      return ">>";
    case TheatreCommand::Slower:
      return "-";
    case TheatreCommand::Faster:
      return "+";
    default:
      return "";
  }
}

QString hint(TheatreCommand c) {
  switch (c) {
    case TheatreCommand::Leave:
      return TheatreBar::tr("見るのをやめる (Esc)");
    case TheatreCommand::Back:
      return TheatreBar::tr("10秒戻る (←)");
    case TheatreCommand::Pause:
      return TheatreBar::tr("一時停止・再開 (Space)");
    case TheatreCommand::Step:
      return TheatreBar::tr("一時停止中に1コマ進む (.)");
    case TheatreCommand::Forward:
      return TheatreBar::tr("10秒進む (→)");
    case TheatreCommand::Slower:
      return TheatreBar::tr("遅く (-)");
    case TheatreCommand::Faster:
      return TheatreBar::tr("速く (+)");
    default:
      return {};
  }
}

}  // namespace

QString play_time(int64_t ticks) {
  const int64_t s = ticks * kTickMs / 1000;
  const auto two = [](int64_t v) { return QString::number(v).rightJustified(2, '0'); };
  if (s >= 3600) return QString::number(s / 3600) + ":" + two(s / 60 % 60) + ":" + two(s % 60);
  return QString::number(s / 60) + ":" + two(s % 60);
}

TheatreBar::TheatreBar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  setMouseTracking(false);
  setFocusPolicy(Qt::NoFocus);
}

const std::vector<TheatreBar::Button>& TheatreBar::buttons() {
  static const std::vector<Button> list = {
      {TheatreCommand::Leave, 2},    {TheatreCommand::Back, 20},    {TheatreCommand::Pause, 38},
      {TheatreCommand::Step, 56},    {TheatreCommand::Forward, 74}, {TheatreCommand::Slower, 96},
      {TheatreCommand::Faster, 142},
  };
  return list;
}

void TheatreBar::show_view(View view) {
  const bool row_changed = view.status.isEmpty() != view_.status.isEmpty();
  view_ = std::move(view);
  if (row_changed) fit();
  update();
}

void TheatreBar::place(QRect game, int scale) {
  game_ = game;
  scale_ = scale;
  fit();
}

void TheatreBar::fit() {
  const int h = (kHeight + (view_.status.isEmpty() ? 0 : kStatusRow)) * scale_;
  setGeometry(game_.x(), game_.bottom() + 1 - h, game_.width(), h);
  raise();
}

int TheatreBar::top() const { return height() - kHeight * scale_; }

QRect TheatreBar::track() const {
  return QRect(kTrackLeft * scale_, top() + 6 * scale_, (kTrackRight - kTrackLeft) * scale_, 8 * scale_);
}

int64_t TheatreBar::tick_at(int x) const {
  const QRect t = track();
  if (view_.total <= 0 || t.width() <= 0) return 0;
  const double f = std::clamp(static_cast<double>(x - t.left()) / t.width(), 0.0, 1.0);
  return static_cast<int64_t>(f * static_cast<double>(view_.total) + 0.5);
}

std::optional<TheatreCommand> TheatreBar::button_at(QPoint p) const {
  for (const Button& b : buttons())
    if (QRect(b.x * scale_, top() + 2 * scale_, 16 * scale_, 16 * scale_).contains(p)) return b.command;
  return std::nullopt;
}

void TheatreBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int s = scale_;
  if (!view_.status.isEmpty()) {
    const QRect row(0, 0, width(), kStatusRow * s);
    p.fillRect(row, QColor(0x80, 0, 0, 200));
    p.setPen(Qt::white);
    p.setFont(game_font(11 * s, true));
    // A long reason is cut at the edge; the terminal has it whole.
    const QRect text = row.adjusted(4 * s, 0, -4 * s, 0);
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
               p.fontMetrics().elidedText(view_.status, Qt::ElideRight, text.width()));
  }
  const QRect bar(0, top(), width(), kHeight * s);
  p.fillRect(bar, kBack);
  p.setFont(game_font(11 * s, true));
  for (const Button& b : buttons()) {
    const QRect r(b.x * s, top() + 2 * s, 16 * s, 16 * s);
    p.fillRect(r, QColor(255, 255, 255, 40));
    p.setPen(kYellow);
    p.drawText(r, Qt::AlignCenter, glyph(b.command, view_.paused));
  }
  p.setPen(Qt::white);
  p.drawText(QRect(112 * s, top(), 30 * s, kHeight * s), Qt::AlignCenter, speed_text(view_.speed_index));
  const QRect t = track();
  p.fillRect(t, QColor(0x60, 0x60, 0x60));
  if (view_.total > 0) {
    const int played = static_cast<int>(static_cast<double>(t.width()) * static_cast<double>(view_.tick) /
                                        static_cast<double>(view_.total));
    p.fillRect(QRect(t.left(), t.top(), played, t.height()), kYellow);
    p.setPen(QPen(Qt::white, s));
    for (const StageMark& m : view_.marks) {
      const int x = t.left() + static_cast<int>(static_cast<double>(t.width()) * static_cast<double>(m.tick) /
                                                static_cast<double>(view_.total));
      p.drawLine(x, t.top() - 3 * s, x, t.bottom() + 3 * s);
    }
    p.fillRect(QRect(t.left() + played - s, t.top() - 2 * s, 3 * s, t.height() + 4 * s), Qt::white);
  }
  p.setFont(game_font(10 * s, true));
  p.setPen(Qt::white);
  // A gentler recorded pace shows beside the time, as it is watched at it.
  QString time = play_time(view_.tick) + "/" + play_time(view_.total);
  if (view_.pace != 100) time = QString::number(view_.pace) + "% " + time;
  p.drawText(QRect((kTrackRight + 2) * s, top(), width() - (kTrackRight + 4) * s, kHeight * s),
             Qt::AlignVCenter | Qt::AlignRight, time);
}

void TheatreBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  if (const auto c = button_at(p)) {
    if (on_command) on_command(*c);
    return;
  }
  if (track().adjusted(-2 * scale_, -6 * scale_, 2 * scale_, 6 * scale_).contains(p)) {
    dragging_ = true;
    if (on_seek) on_seek(tick_at(p.x()), false);
  }
}

void TheatreBar::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && on_seek) on_seek(tick_at(event->position().toPoint().x()), false);
}

void TheatreBar::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_) return;
  dragging_ = false;
  if (on_seek) on_seek(tick_at(event->position().toPoint().x()), true);
}

bool TheatreBar::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    QString text;
    if (const auto c = button_at(help->pos())) {
      text = hint(*c);
    } else if (track().adjusted(0, -6 * scale_, 0, 6 * scale_).contains(help->pos())) {
      text = tr("クリック・ドラッグでその場面へ (Home 最初 / End 最後)") + "  " +
             play_time(tick_at(help->pos().x()));
    }
    if (text.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
  }
  return QWidget::event(event);
}

}  // namespace quillot
