// The records in the main window: every game recorded as it is played, the
// records screen over the title, and the name asked for a best game.
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/options/language.h"
#include "app/window/form.h"
#include "session/pace.h"
#include "app/window/records_screen.h"
#include "app/window/stats_view.h"
#include "session/run_stats.h"
#include "files/settings_file.h"

namespace quillot {

namespace {

constexpr const char* kNameGroup = "records";
constexpr const char* kNameKey = "name";
// A name fits its column; the index keeps it as it is given.
constexpr int kNameChars = 12;

}  // namespace

void TForm1::build_records() {
  // Beside NEW START, over the title picture's free sky, so that neither it
  // nor CONTINUE moves.
  records_button = new QPushButton(start_box);
  records_button->setGeometry(256, 196, 89, 25);
  records_button->setFocusPolicy(Qt::NoFocus);
  connect(records_button, &QPushButton::clicked, this, [this] { show_records(); });
  records_ = new RecordsScreen(this, [this](QKeyEvent* e) { route_key(e); });
  records_->later = [this](std::function<void()> box) { open_box(std::move(box)); };
  records_->ask = [this](const QString& q) { return options_.dialogs->ask(q); };
  records_->error = [this](const QString& text) { options_.dialogs->error(text); };
  records_->closed = [this] { focus_screen(); };
}

void TForm1::set_run_recorder(RunRecorder* runs) {
  runs_ = runs;
  if (runs_ == nullptr) return;
  // Each game notes the pace it starts at.
  if (pace_ != kSpeeds.front()) runs_->speed(ticks_, pace_);
  runs_->language = [this] {
    return language_name(resolve_language(settings_.now().language)).toStdString();
  };
  runs_->on_finished = [this](const RunEntry& e) {
    // Counted now, while the game's end is on screen, so the records screen
    // only reads them.
    load_or_compute_stats(runs_->store().path_of(e));
    // A game given up by closing the window is not asked about.
    if (e.end != RunEnd::Quit && e.score > 0 && among_best(runs_->store().load(), e.file))
      open_box([this, e] { ask_run_name(e); });
  };
}

void TForm1::ask_run_name(const RunEntry& entry) {
  if (runs_ == nullptr) return;
  const QString last = QString::fromStdString(read_settings_file().get(kNameGroup, kNameKey).value_or(""));
  const auto name = options_.dialogs->ask_text(
      tr("ベスト10に入りました！（%1点）\n名前を入力してください:").arg(entry.score), last);
  if (!name) return;
  const QString given = name->trimmed().left(kNameChars);
  std::string why;
  if (!runs_->store().set_name(entry.file, given.toStdString(), &why))
    std::fprintf(stderr, "quillot: the name cannot be kept: %s\n", why.c_str());
  if (options_.remember_settings && given != last)
    change_settings_file([&given](IniFile& f) { f.set(kNameGroup, kNameKey, given.toStdString()); });
}

bool TForm1::records_shown() const { return records_ != nullptr && !records_->isHidden(); }

void TForm1::show_records() {
  if (screen() != Screen::Title || records_shown()) return;
  // Watched in the theatre, from where Esc comes back to this screen.
  records_->watch = watch_recording ? watch_recording : [this](const std::string& path) {
    records_->close_screen();
    watch_file(path, [this](int) { show_records(); });
  };
  records_->practice = [this] {
    records_->close_screen();
    open_practice();
  };
  records_->set_scale(shown_scale_);
  // Found by name: the view has no meta-object of its own to be found by.
  auto* stats = static_cast<StatsView*>(records_->stats_slot->findChild<QWidget*>("stats_view"));
  auto* which = records_->stats_slot->findChild<QLabel*>("which_game");
  if (stats == nullptr) {
    which = new QLabel(records_->stats_slot);
    which->setObjectName("which_game");
    stats = new StatsView(records_->stats_slot);
    stats->setObjectName("stats_view");
    auto* layout = new QVBoxLayout(records_->stats_slot);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(which, 0, Qt::AlignHCenter);
    layout->addWidget(stats, 1, Qt::AlignHCenter | Qt::AlignTop);
  }
  stats->set_scale(shown_scale_);
  // The selected game's statistics; above the first row, those of all games.
  records_->selection_changed = [this, stats, which](const RunEntry* selected) {
    which->setText(selected == nullptr
                       ? tr("↓ 一つずつのゲーム")
                       : tr("%1点  STAGE %2  %3  ↑ 全ゲーム")
                             .arg(selected->score)
                             .arg(selected->stage)
                             .arg(QDateTime::fromSecsSinceEpoch(selected->date).toString("yy/MM/dd hh:mm")));
    if (runs_ == nullptr) return stats->hide();
    RunStore& store = runs_->store();
    RunStats shown;
    if (selected != nullptr) {
      const auto one = load_or_compute_stats(store.path_of(*selected));
      if (!one) return stats->hide();
      shown = *one;
    } else {
      for (const RunEntry& e : store.load())
        if (const auto one = load_or_compute_stats(store.path_of(e))) shown += *one;
    }
    stats->show_stats(shown, selected == nullptr);
    stats->show();
  };
  // The practice games lie beside the player's, apart.
  if (practice_runs_ == nullptr && options_.cannot_save.empty() && !save_path().empty())
    practice_runs_ = std::make_unique<RunStore>(
        (std::filesystem::path(save_path()).parent_path() / "runs" / "practice").string());
  records_->open(runs_ != nullptr ? &runs_->store() : nullptr, practice_runs_.get());
}

void TForm1::records_step(MenuStep step) { records_->step(step); }

}  // namespace quillot
