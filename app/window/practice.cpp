#include "app/window/practice.h"

#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QTime>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "app/window/form.h"
#include "session/profile_file.h"

namespace quillot {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "practice-";
constexpr const char* kEnding = ".qrp";

// The recordings in `folder` whose names start with `prefix`, newest first
// (by name when they carry the time, else by their files' times).
std::vector<fs::path> recordings_in(const std::string& folder, const std::string& prefix) {
  std::vector<std::pair<fs::file_time_type, fs::path>> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (p.extension() != kEnding || !p.filename().string().starts_with(prefix)) continue;
    if (!it->is_regular_file(ec)) continue;
    found.emplace_back(it->last_write_time(ec), p);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second.filename() > b.second.filename();
  });
  std::vector<fs::path> out;
  for (auto& [time, path] : found) out.push_back(std::move(path));
  return out;
}

}  // namespace

Practice::Practice(TForm1& form) : QObject(&form), form_(form) {
  form_.installEventFilter(this);
  // A signal ends the game without closing the window: the player's game is
  // back all the same before its recording is ended.
  if (QCoreApplication* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, [this] { restore(); });
}

Practice::~Practice() = default;

std::string Practice::folder() const {
  const std::string save = form_.save_path();
  if (!form_.options_.cannot_save.empty() || save.empty()) return {};
  return (fs::path(save).parent_path() / "runs" / "practice").string();
}

Profile Practice::saved_profile() const {
  Profile p = active() ? player_->profile : form_.g_.profile;
  Profile saved;
  if (!load_profile(form_.save_path(), saved)) p = saved;
  return p;
}

std::vector<std::string> Practice::recorded_games() const {
  const std::string practice = folder();
  if (practice.empty()) return {};
  std::vector<std::string> out;
  for (const fs::path& p : recordings_in(fs::path(practice).parent_path().string(), ""))
    out.push_back(p.string());
  return out;
}

void Practice::open() {
  // Only between games: a stage under way is the player's, and a replay's.
  if (chooser_ != nullptr || result_ != nullptr || active() || form_.options_.replaying ||
      form_.Timer1.isActive())
    return;
  games_ = recorded_games();
  QStringList names;
  for (const std::string& game : games_)
    names << tr("記録したゲーム %1")
                 .arg(QFileInfo(QString::fromStdString(game)).lastModified().toString("yyyy-MM-dd hh:mm"));
  // Each recorded game is replayed once, when it is first chosen: the stages
  // it started and the equipment it started them with.
  auto starts = std::make_shared<std::map<int, std::map<int32_t, Profile>>>();
  auto starts_of = [this, starts](int game) -> const std::map<int32_t, Profile>& {
    auto it = starts->find(game);
    if (it != starts->end()) return it->second;
    std::string error;
    std::map<int32_t, Profile> found;
    if (auto recording = read_recording(games_[static_cast<size_t>(game)], &error))
      found = stage_starts(*recording);
    return starts->emplace(game, std::move(found)).first->second;
  };
  const Profile saved = saved_profile();
  chooser_ = new PracticeChooser(&form_, form_.shown_scale(), saved.stage, names, [starts_of](int game) {
    std::vector<int32_t> stages;
    for (const auto& [stage, profile] : starts_of(game)) stages.push_back(stage);
    return stages;
  });
  connect(chooser_, &QDialog::finished, this, [this, saved, starts_of](int result) {
    PracticeChooser* chosen = chooser_;
    if (result != QDialog::Accepted || chosen == nullptr || chosen->stage() < 0) return;
    const int game = chosen->game();
    const int32_t stage = chosen->stage();
    start(stage, game < 0 ? saved : starts_of(game).at(stage));
  });
  chooser_->open();
}

void Practice::start(int32_t stage, const Profile& equipment) {
  end_recording();
  if (!active()) {
    player_ = std::make_unique<Game>(std::move(form_.g_));
    player_recorder_ = form_.recorder_;
    // Practice is no game of the player's records either.
    player_runs_ = form_.runs_;
    player_ticks_ = form_.ticks_;
    player_pace_ = form_.pace_;
  }
  stage_ = stage;
  equipment_ = equipment;
  gold_at_start_ = equipment.gold;
  outcome_tick_ = -1;

  auto fresh = std::make_unique<Game>();
  const QTime now = QTime::currentTime();
  fresh->random.seed = Random::seed_from_time(now.hour(), now.minute(), now.second(), now.msec());
  fresh->profile = practice_profile(equipment, stage, player_->profile.hi_score);
  fresh->stories = player_->stories;
  form_.g_ = std::move(*fresh);
  form_.recorder_ = nullptr;
  form_.runs_ = nullptr;
  form_.ticks_ = 0;

  recording_path_.clear();
  if (const std::string where = folder(); !where.empty()) {
    std::error_code ec;
    fs::create_directories(where, ec);
    const std::string stem =
        where + "/" + kPrefix + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toStdString();
    std::string path = stem + kEnding;
    for (int n = 2; fs::exists(path, ec); ++n) path = stem + "-" + std::to_string(n) + kEnding;
    auto recorder = std::make_unique<Recorder>(path);
    if (recorder->ok() && recorder->begin(form_.g_)) {
      recorder_ = std::move(recorder);
      recording_path_ = path;
      form_.set_recorder(recorder_.get());
    } else {
      // Practice goes on unrecorded: it is the player's to play all the same.
      std::fprintf(stderr, "quillot: this practice is not recorded: %s\n", recorder->error().c_str());
    }
  }
  // The input that starts the practice, from the screen a replay starts on.
  form_.show_screen(Screen::Title);
  form_.give(Input::click(Control::Practice));
}

void Practice::stage_over(bool cleared) {
  cleared_ = cleared;
  // The tick that ended the stage is still under way; the box comes after it.
  QMetaObject::invokeMethod(
      this, [this] { show_result(); }, Qt::QueuedConnection);
}

void Practice::heard(Sound sound) {
  if ((sound == Sound::StageClear || sound == Sound::GameOver) && outcome_tick_ < 0)
    outcome_tick_ = form_.in_tick_ ? form_.ticks_ + 1 : form_.ticks_;
}

void Practice::show_result() {
  if (!active() || result_ != nullptr) return;
  const PracticeResult r =
      practice_result(form_.g_, cleared_, outcome_tick_ >= 0 ? outcome_tick_ : form_.ticks_, gold_at_start_);
  end_recording();
  result_ = new PracticeResultBox(&form_, form_.shown_scale(), stage_, r);
  connect(result_, &QDialog::finished, this, [this](int choice) {
    switch (choice) {
      case PracticeResultBox::Again:
        return start(stage_, equipment_);
      case PracticeResultBox::Another:
        restore();
        go_back();
        // Opened once this box has gone.
        QMetaObject::invokeMethod(
            this, [this] { open(); }, Qt::QueuedConnection);
        return;
      default:
        restore();
        return go_back();
    }
  });
  result_->open();
}

void Practice::end_recording() {
  if (recorder_ == nullptr) return;
  form_.recorder_ = nullptr;
  recorder_->end(form_.ticks_, form_.g_);
  recorder_.reset();
  // The last ones are kept; older practice is not worth the room.
  const std::vector<fs::path> kept = recordings_in(folder(), kPrefix);
  std::error_code ec;
  for (size_t i = kKept; i < kept.size(); ++i) fs::remove(kept[i], ec);
}

void Practice::restore() {
  if (!active()) return;
  end_recording();
  // A practice cut short (the window closed mid-stage) runs no further tick.
  form_.stop_timer();
  // A language chosen while practising holds for the player's game too, as
  // it would have between two of its stages.
  player_->stories = std::move(form_.g_.stories);
  form_.g_ = std::move(*player_);
  player_.reset();
  form_.recorder_ = player_recorder_;
  form_.runs_ = player_runs_;
  form_.ticks_ = player_ticks_;
  // So does a pace, and the player's recording notes it as any change.
  if (form_.recorder_ != nullptr && form_.pace_ != player_pace_)
    form_.recorder_->speed(form_.ticks_, form_.pace_);
}

void Practice::go_back() {
  if (back_) return back_();
  form_.show_screen(Screen::Title);
  form_.play_music("5.mid");
}

bool Practice::eventFilter(QObject* watched, QEvent* event) {
  // The window closes: the player's game is back before anyone ends its recording.
  if (watched == &form_ && event->type() == QEvent::Close) restore();
  return QObject::eventFilter(watched, event);
}

void TForm1::open_practice() {
  if (practice_ == nullptr) practice_ = new Practice(*this);
  practice_->open();
}

void TForm1::set_practice_back(std::function<void()> back) {
  if (practice_ == nullptr) practice_ = new Practice(*this);
  practice_->set_back(std::move(back));
}

bool TForm1::practising() const { return practice_ != nullptr && practice_->active(); }

}  // namespace quillot
