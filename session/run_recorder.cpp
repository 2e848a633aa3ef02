#include "session/run_recorder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace quillot {

RunRecorder::RunRecorder(RunStore store, std::function<int64_t()> now)
    : store_(std::move(store)), now_(std::move(now)) {}

RunRecorder::~RunRecorder() = default;

void RunRecorder::drop(const std::string& why) {
  std::fprintf(stderr, "quillot: this game is not recorded: %s\n", why.c_str());
  recorder_.reset();
}

void RunRecorder::input(int64_t tick, const Input& in, const Game& g, const ScreenState& shown) {
  const bool starts = shown.screen == Screen::Title && in.kind == Input::Kind::Click &&
                      (in.control == Control::Button1 || in.control == Control::Button4);
  if (starts && recorder_ == nullptr)
    start(tick, g, shown, in.control == Control::Button1 ? 0 : g.profile.stage);
  if (recorder_ != nullptr) recorder_->event(tick - start_, in);
}

void RunRecorder::start(int64_t tick, const Game& g, const ScreenState& shown, int32_t first_stage) {
  if (recorder_ != nullptr) return;
  entry_ = RunEntry{};
  entry_.date = now_();
  entry_.language = language ? language() : "ja";
  entry_.first_stage = first_stage;
  std::error_code ec;
  std::filesystem::create_directories(store_.folder(), ec);
  if (ec) return drop(store_.folder() + ": " + ec.message());
  entry_.file = store_.new_file_name(entry_.date, entry_.language);
  recorder_ = std::make_unique<Recorder>(store_.path_of(entry_));
  if (!recorder_->error().empty()) return drop(recorder_->error());
  if (!recorder_->begin(g, shown)) return drop(recorder_->error());
  start_ = tick;
  if (pace_ < 100) speed(tick, pace_);
}

void RunRecorder::end(int64_t tick, const Game& g, RunEnd how) {
  if (recorder_ != nullptr) finish(tick, g, how);
}

void RunRecorder::applied(int64_t tick, const Input& in, const Game& g) {
  if (recorder_ != nullptr && in == Input::click(Control::Button5) && g.profile.stage >= 46)
    finish(tick, g, RunEnd::Cleared);
}

void RunRecorder::after_tick(int64_t tick, const Game& g, bool title) {
  if (recorder_ == nullptr) return;
  recorder_->after_tick(tick - start_, g);
  if (title) finish(tick, g, RunEnd::GameOver);
}

void RunRecorder::outside(int64_t tick, Recording::Line::Kind answer) {
  if (recorder_ != nullptr) recorder_->outside(tick - start_, answer);
}

void RunRecorder::speed(int64_t tick, int32_t percent) {
  pace_ = percent;
  if (recorder_ == nullptr) return;
  recorder_->speed(tick - start_, percent);
  if (percent < 100) entry_.gentle = true;
}

void RunRecorder::quit(int64_t tick, const Game& g) {
  if (recorder_ != nullptr) finish(tick, g, RunEnd::Quit);
}

void RunRecorder::finish(int64_t tick, const Game& g, RunEnd end) {
  recorder_->end(tick - start_, g);
  const bool failed = recorder_->failed();
  recorder_.reset();
  if (failed) {
    // Reported as it stopped; a game recorded in part is no record.
    std::error_code ec;
    std::filesystem::remove(store_.path_of(entry_), ec);
    return;
  }
  entry_.end = end;
  entry_.ticks = tick - start_;
  entry_.stage = g.profile.stage;
  entry_.score = end == RunEnd::GameOver ? g.last_score : g.profile.score;
  std::string error;
  if (!store_.add(entry_, &error)) {
    std::fprintf(stderr, "quillot: the list of recorded games cannot be written: %s\n", error.c_str());
    return;
  }
  if (on_finished) on_finished(entry_);
}

}  // namespace quillot
