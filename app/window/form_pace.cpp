// The game's pace as the window keeps it: the frame timer's interval, the
// mark over the playfield, and the pace noted in the recording. The ticks and
// what they do are the same at every pace.
#include "app/window/form.h"
#include "session/pace.h"

namespace quillot {

namespace {

int known_pace(int percent) { return valid_speed(percent) ? percent : kSpeeds.front(); }

}  // namespace

void TForm1::set_recorder(Recorder* recorder) {
  recorder_ = recorder;
  // A game at the normal pace is recorded as it always was; any other pace
  // is noted where the recording starts.
  if (recorder_ != nullptr && pace_ != kSpeeds.front()) recorder_->speed(ticks_, pace_);
}

void TForm1::apply_pace(int percent) {
  pace_ = known_pace(percent);
  Timer1.setInterval(tick_interval_ms(pace_));
}

void TForm1::set_speed(int percent) {
  if (!valid_speed(percent)) return;
  settings_.set(&Settings::speed, percent);
  // A replay keeps the pace its game was played at; the choice waits for play.
  if (options_.replaying || percent == pace_) return;
  apply_pace(percent);
  if (recorder_ != nullptr) recorder_->speed(in_tick_ ? ticks_ + 1 : ticks_, pace_);
  if (runs_ != nullptr) runs_->speed(in_tick_ ? ticks_ + 1 : ticks_, pace_);
  toast_->show_text(tr("速さ %1%").arg(pace_), game_area(), shown_scale_);
  cg_view->update();
}

void TForm1::show_pace(int percent) {
  if (known_pace(percent) == pace_) return;
  pace_ = known_pace(percent);
  cg_view->update();
}

}  // namespace quillot
