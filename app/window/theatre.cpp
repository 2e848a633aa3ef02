#include "app/window/theatre.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/options/language.h"
#include "app/window/form.h"
#include "app/window/theatre_bar.h"
#include "session/pace.h"

namespace quillot {

namespace {

constexpr int kMessageMs = 4000;
constexpr int kLeaveAtEndMs = 1000;  // the last picture stays a moment
constexpr int kBarShownMs = 3000;

}  // namespace

TheatreView::TheatreView(TForm1& form, std::function<void(int)> on_close, bool leave_at_end)
    : QObject(&form), form_(form), on_close_(std::move(on_close)), leave_at_end_(leave_at_end) {
  keep_player();
  bar_ = new TheatreBar(&form);
  bar_->on_command = [this](TheatreCommand c) { command(c); };
  bar_->on_seek = [this](int64_t tick, bool released) { seek_to(tick, released); };
  bar_->place(form.game_area(), form.shown_scale());
  bar_->show();
  form.installEventFilter(this);
  form.cg_view->installEventFilter(this);
  hide_bar_.setSingleShot(true);
  hide_bar_.setInterval(kBarShownMs);
  connect(&hide_bar_, &QTimer::timeout, this, [this] {
    if (bar_may_hide()) bar_->hide();
  });
  beat_.setTimerType(Qt::PreciseTimer);
  connect(&beat_, &QTimer::timeout, this, [this] { beat(); });
  message_timer_.setSingleShot(true);
  connect(&message_timer_, &QTimer::timeout, this, [this] {
    message_.clear();
    show();
  });
}

TheatreView::~TheatreView() = default;

void TheatreView::keep_player() {
  TForm1& f = form_;
  Player& p = player_;
  p.game = f.g_;
  p.screen = f.screen();
  p.timer = f.Timer1.isActive();
  p.paused = f.paused_;
  p.choice = !f.select_box->isHidden();
  p.save = f.item_button(shop::Item::a9)->isEnabled();
  p.replaying = f.options_.replaying;
  p.story_text = f.story_l->text();
  p.story_name = f.name_l->text();
  p.story_about = f.about_l->text();
  p.story_picture = f.story_pic->pixmap();
  p.enemy_count = f.Label1->text();
  p.bak = f.bak_.image();
  p.cg = f.cg_.image();
  p.bak_pen = CanvasPen::of(f.bak_);
  p.cg_pen = CanvasPen::of(f.cg_);
  p.track = f.track_;
  p.recorder = f.recorder_;
  p.dialogs = f.options_.dialogs;
  f.options_.dialogs = &boxes_;
  p.language = f.settings().language;
  // The player's game waits: no tick, no recording, no input reaches it.
  f.Timer1.stop();
  if (f.paused_) f.options_.music->set_ducked(false);
  f.paused_ = false;
  f.recorder_ = nullptr;
  f.options_.replaying = true;
  f.router_.release_all();
  set_mice_through_screens(true);
}

void TheatreView::restore_player() {
  if (restored_) return;
  restored_ = true;
  beat_.stop();
  theatre_.reset();
  TForm1& f = form_;
  const Player& p = player_;
  f.options_.music->set_ducked(false);
  f.g_ = p.game;
  // A language changed meanwhile changes the player's stories too.
  if (f.settings().language != p.language) f.load_story_file();
  f.story_l->setText(p.story_text);
  f.name_l->setText(p.story_name);
  f.about_l->setText(p.story_about);
  f.story_pic->setPixmap(p.story_picture);
  f.Label1->setText(p.enemy_count);
  f.bak_.load(p.bak);
  f.cg_.load(p.cg);
  p.bak_pen.put_on(f.bak_);
  p.cg_pen.put_on(f.cg_);
  f.recorder_ = p.recorder;
  f.options_.dialogs = p.dialogs;
  f.options_.replaying = p.replaying;
  set_mice_through_screens(false);
  f.select_box->setVisible(p.choice);
  if (p.save) {
    f.enable_save();
  } else {
    f.disable_save();
  }
  f.show_screen(p.screen);
  if (p.timer) f.Timer1.start();
  f.removeEventFilter(this);
  f.cg_view->removeEventFilter(this);
  f.theatre_ = nullptr;
  // A stage left running comes back paused, so the player finds it as it was.
  if (p.timer) f.set_paused(true);
  if (!p.track.empty()) f.play_music(p.track);
  f.Timer2Timer();
  f.update_pointer();
  f.cg_view->update();
  bar_->hide();
  bar_->deleteLater();
}

void TheatreView::leave() {
  restore_player();
  deleteLater();
  if (on_close_) on_close_(status_);
}

void TheatreView::set_mice_through_screens(bool through) {
  // The watched game's screens are shown, but their buttons are the recording's.
  for (QWidget* w : {static_cast<QWidget*>(form_.start_box), static_cast<QWidget*>(form_.shop_box),
                     static_cast<QWidget*>(form_.story_box)})
    w->setAttribute(Qt::WA_TransparentForMouseEvents, through);
}

void TheatreView::load(Recording recording) {
  beat_.stop();
  theatre_.reset();
  reported_ = false;
  status_ = 0;
  message_.clear();
  theatre_ = std::make_unique<Theatre>(std::move(recording), form_.g_, &form_);
  theatre_->shell().on_message = [this](const Text& text) { note(translated(text)); };
  theatre_->start_pass();
  theatre_->shell().rebuild();
  form_.play_music(theatre_->shell().state().track);
  clock_.start();
  beat_.start(16);
  show();
  reveal_bar();
}

void TheatreView::note(const QString& text) {
  message_ = QString(text).replace('\r', ' ');
  message_timer_.start(kMessageMs);
  show();
}

bool TheatreView::bar_may_hide() const {
  return theatre_ != nullptr && theatre_->state() == Theatre::State::Playing && !theatre_->paused() &&
         message_.isEmpty();
}

void TheatreView::reveal_bar() {
  bar_->show();
  bar_->raise();
  hide_bar_.start();
}

void TheatreView::beat() {
  const double ms = static_cast<double>(clock_.restart());
  const Theatre::State was = theatre_->state();
  // The help or the options in front hold the watched game, as they hold a played one.
  if (QApplication::activeModalWidget() == nullptr) theatre_->advance(ms);
  // The beat follows the ticks' pace, and at the fast speeds a screen's frame.
  const double rate = Theatre::kSpeedQuarters[static_cast<size_t>(theatre_->speed_index())] / 4.0;
  const int interval =
      theatre_->more_due()
          ? 0
          : std::clamp(static_cast<int>(tick_interval_ms(theatre_->pace()) / rate), 16, kTickMs);
  if (beat_.interval() != interval) beat_.setInterval(interval);
  // The mark over the playfield shows the pace the watched game was played at.
  form_.show_pace(theatre_->pace());
  if (was == Theatre::State::Playing && theatre_->state() != Theatre::State::Playing) stopped();
  show();
}

void TheatreView::stopped() {
  const Theatre::State s = theatre_->state();
  status_ = s == Theatre::State::Ended      ? kReplayMatched
            : s == Theatre::State::Diverged ? kReplayDiverged
                                            : kReplayIncomplete;
  if (!reported_) {
    reported_ = true;
    if (s != Theatre::State::Ended) {
      std::fprintf(stderr, "quillot: %s\n", theatre_->error().c_str());
    } else if (leave_at_end_) {
      // For the script that named the recording; a player watching from the game needs no line.
      std::printf("quillot: replay finished, every checksum matched\n");
    }
    // Said at once: whoever watches a pipe learns the outcome before the window goes.
    std::fflush(stdout);
  }
  if (leave_at_end_ && !touched_)
    QTimer::singleShot(kLeaveAtEndMs, this, [this] {
      if (!touched_) leave();
    });
}

void TheatreView::show() {
  if (theatre_ == nullptr) return;
  TheatreBar::View v;
  v.tick = theatre_->tick();
  v.total = theatre_->total_ticks();
  v.marks = theatre_->marks();
  v.paused = theatre_->paused();
  v.speed_index = theatre_->speed_index();
  v.pace = theatre_->pace();
  switch (theatre_->state()) {
    case Theatre::State::Playing:
      v.status = message_;
      break;
    case Theatre::State::Ended:
      v.status = tr("最後まで再生しました。記録とすべて一致しています");
      break;
    case Theatre::State::Diverged:
      v.status =
          tr("ここで記録と食い違ったので止まりました: %1").arg(QString::fromStdString(theatre_->error()));
      break;
    case Theatre::State::Incomplete:
      v.status = tr("記録はここで途切れています: %1").arg(QString::fromStdString(theatre_->error()));
      break;
  }
  bar_->show_view(std::move(v));
  if (!bar_may_hide() && bar_->isHidden()) reveal_bar();
}

void TheatreView::command(TheatreCommand c) {
  if (theatre_ == nullptr) return;
  touched_ = true;
  reveal_bar();
  Theatre& t = *theatre_;
  // Ten seconds as the recorded game is watched at its own pace.
  const int64_t ten_seconds = 10000 / tick_interval_ms(t.pace());
  switch (c) {
    case TheatreCommand::Pause:
      t.set_paused(!t.paused());
      form_.options_.music->set_ducked(t.paused());
      clock_.restart();
      break;
    case TheatreCommand::Step: {
      if (!t.paused()) {
        t.set_paused(true);
        form_.options_.music->set_ducked(true);
      }
      const Theatre::State was = t.state();
      t.step_tick();
      if (was == Theatre::State::Playing && t.state() != Theatre::State::Playing) stopped();
      break;
    }
    case TheatreCommand::Back:
      return seek_to(t.tick() - ten_seconds, true);
    case TheatreCommand::Forward:
      return seek_to(t.tick() + ten_seconds, true);
    case TheatreCommand::Start:
      return seek_to(0, true);
    case TheatreCommand::End:
      return seek_to(t.total_ticks(), true);
    case TheatreCommand::Slower:
      t.set_speed_index(t.speed_index() - 1);
      break;
    case TheatreCommand::Faster:
      t.set_speed_index(t.speed_index() + 1);
      break;
    case TheatreCommand::Leave:
      return leave();
  }
  show();
}

void TheatreView::seek_to(int64_t tick, bool released) {
  if (theatre_ == nullptr) return;
  touched_ = true;
  reveal_bar();
  const Theatre::State was = theatre_->state();
  // While the bar is dragged the track waits for the place let go at.
  theatre_->seek(tick, released);
  clock_.restart();
  if (theatre_->state() != Theatre::State::Playing) {
    if (was == Theatre::State::Playing || !reported_) stopped();
  }
  show();
}

bool TheatreView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &form_ && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
    bar_->place(form_.game_area(), form_.shown_scale());
  if (watched == form_.cg_view && event->type() == QEvent::MouseMove) reveal_bar();
  return QObject::eventFilter(watched, event);
}

void TForm1::watch(Recording recording, std::function<void(int)> on_close, bool leave_at_end) {
  if (theatre_ == nullptr) theatre_ = new TheatreView(*this, std::move(on_close), leave_at_end);
  theatre_->load(std::move(recording));
}

void TForm1::watch_command(TheatreCommand command) {
  if (theatre_ != nullptr) theatre_->command(command);
}

void TForm1::watch_file(const std::string& path, std::function<void(int)> on_close) {
  std::string error;
  auto recording = read_recording(path, &error);
  if (!recording) {
    open_box([this, text = tr("この記録は再生できません。\n%1").arg(QString::fromStdString(error))] {
      options_.dialogs->error(text);
    });
    return;
  }
  watch(std::move(*recording), std::move(on_close));
}

namespace {

// The one recording file among what is dragged over the window, if any.
std::optional<std::string> dropped_recording(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
  const QUrl url = data->urls().front();
  if (!url.isLocalFile() || QFileInfo(url.toLocalFile()).suffix().toLower() != "qrp") return std::nullopt;
  return QFile::encodeName(url.toLocalFile()).toStdString();
}

}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (dropped_recording(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const auto path = dropped_recording(event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  // Opened once the drop is done with, as a box would be.
  QMetaObject::invokeMethod(
      this, [this, file = *path] { watch_file(file); }, Qt::QueuedConnection);
}

}  // namespace quillot
