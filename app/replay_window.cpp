#include "app/replay_window.h"

#include <QCoreApplication>
#include <cstdio>

namespace quillot {

namespace {
constexpr int kScreenInputPauseMs = 400;
}

ReplayWindow::ReplayWindow(Recording recording, TForm1& form)
    : form_(form),
      replayer_(std::move(recording), form.game(), form, [&form] { return form.screen_state(); }) {
  replayer_.start();
  since_input_.start();
  beat_.setInterval(50);
  beat_.setTimerType(Qt::PreciseTimer);
  connect(&beat_, &QTimer::timeout, this, [this] { beat(); });
  beat_.start();
}

void ReplayWindow::beat() {
  for (;;) {
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
  QTimer::singleShot(1000, qApp, [result] { QCoreApplication::exit(result); });
}

}  // namespace quillot
