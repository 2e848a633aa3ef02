#pragma once
#include <QCoreApplication>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/input/input_router.h"
#include "session/theatre.h"

namespace quillot {

// The theatre's strip along the bottom of the game: buttons for its
// commands, the seek bar with a mark at each stage's start, the speed, the
// time watched and the whole, and a line above for what happened (the end,
// a recording that left the recorded game, the game's own messages).
class TheatreBar : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TheatreBar)

 public:
  struct View {
    int64_t tick = 0, total = 0;
    std::vector<StageMark> marks;
    bool paused = false;
    int speed_index = Theatre::kNormalSpeed;
    int32_t pace = 100;  // the recorded game's own, in percent
    QString status;
  };
  explicit TheatreBar(QWidget* parent);
  void show_view(View view);
  // Lies over the bottom of `game`, the game's area in the window, at `scale`.
  void place(QRect game, int scale);

  std::function<void(TheatreCommand)> on_command;
  // A place on the seek bar was pressed or dragged to; `released` once let go.
  std::function<void(int64_t tick, bool released)> on_seek;

  static constexpr int kHeight = 20;     // at 1x
  static constexpr int kStatusRow = 14;  // the line above, when there is one to show

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct Button {
    TheatreCommand command;
    int x;  // at 1x; 16 x 16
  };
  static const std::vector<Button>& buttons();
  std::optional<TheatreCommand> button_at(QPoint p) const;
  QRect track() const;  // the seek bar in the widget
  int64_t tick_at(int x) const;
  int top() const;  // where the bar's row starts under the status line
  void fit();

  View view_;
  QRect game_;
  int scale_ = 1;
  bool dragging_ = false;
};

// "12:34" (or "1:02:03") for a number of ticks at the normal pace.
QString play_time(int64_t ticks);

}  // namespace quillot
