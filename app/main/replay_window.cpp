#include "app/main/replay_window.h"

#include <QCoreApplication>
#include <cstdio>

#include "session/pace.h"

namespace quillot {

namespace {
constexpr int kScreenInputPauseMs = 400;
constexpr int kBeatMs = 50;
// Lines handled in one go before the window gets its events again: a
// recording may hold any number of lines at one tick.
constexpr int kLinesPerTurn = 2000;
}  // namespace

ReplayWindow::ReplayWindow(Recording recording, TForm1& form)
    : form_(form),
      replayer_(std::move(recording), form.game(), form, [&form] { return form.screen_state(); }) {
  replayer_.start();
  since_input_.start();
  beat_.setInterval(kBeatMs);
  beat_.setTimerType(Qt::PreciseTimer);
  connect(&beat_, &QTimer::timeout, this, [this] { beat(); });
  beat_.start();
}

void ReplayWindow::beat() {
  // Back to the game's pace once the lines of a tick are done.
  // A game played at a gentler pace is watched at its own pace.
  if (const int beat = tick_interval_ms(replayer_.speed()); beat_.interval() != beat) beat_.setInterval(beat);
  form_.show_pace(replayer_.speed());
  for (int lines = 0;; ++lines) {
    if (lines == kLinesPerTurn) {
      // More of this tick's lines: on with them as soon as the events are handled.
      beat_.setInterval(0);
      return;
    }
    const bool playing = form_.timer_running();
    if (!replayer_.next_is_tick() && !playing && since_input_.elapsed() < kScreenInputPauseMs) return;
    const Replayer::Step step = replayer_.step();
    switch (step) {
      case Replayer::Step::Tick:
        return;  // one tick per beat
      case Replayer::Step::Event:
        if (!playing) {
          since_input_.restart();
          return;
        }
        break;
      case Replayer::Step::Checked:
        break;
      case Replayer::Step::Speed:
        break;
      case Replayer::Step::Done:
        return finish(kReplayMatched, "replay finished, every checksum matched");
      case Replayer::Step::Diverged:
        return finish(kReplayDiverged, replayer_.error());
      case Replayer::Step::Incomplete:
        return finish(kReplayIncomplete, replayer_.error());
    }
  }
}

void ReplayWindow::finish(int result, const std::string& text) {
  beat_.stop();
  result_ = result;
  std::fprintf(result == 0 ? stdout : stderr, "quillot: %s\n", text.c_str());
  // Said at once: whoever watches a pipe learns the outcome before the window goes.
  std::fflush(stdout);
  // The window's last picture stays a moment; a replay window gone by then
  // (a test's) quits nothing.
  QTimer::singleShot(1000, this, [result] { QCoreApplication::exit(result); });
}

}  // namespace quillot
