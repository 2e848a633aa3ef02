#include "app/window/records_screen.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "app/render/look.h"
#include "files/atomic_file.h"
#include "files/file_read.h"

namespace quillot {

namespace {

// The title's score lines: yellow on dark blue; the selected row the other way round.
constexpr Color kRowText = 0xCDF900;
constexpr Color kRowBack = 0x800000;
constexpr Color kHeadText = 0xFFFFFF;
// A header and twenty rows.
constexpr int kRows = 21;

QString play_time(int64_t ticks) {
  const int64_t s = ticks * 50 / 1000;
  return s >= 3600 ? QString("%1:%2:%3")
                         .arg(s / 3600)
                         .arg(s / 60 % 60, 2, 10, QChar('0'))
                         .arg(s % 60, 2, 10, QChar('0'))
                   : QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

QPushButton* make_button(QWidget* parent, QRect geometry) {
  auto* b = new QPushButton(parent);
  b->setGeometry(geometry);
  QFont f = parent->font();
  f.setBold(true);
  b->setFont(f);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

RunList::RunList(QWidget* parent) : QWidget(parent) {
  setFont(game_font(10, true));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void RunList::set_rows(std::vector<RunEntry> rows, bool best) {
  const std::string was = selected_ >= 0 && selected_ < static_cast<int>(rows_.size())
                              ? rows_[static_cast<size_t>(selected_)].file
                              : "";
  rows_ = std::move(rows);
  best_ = best;
  selected_ = rows_.empty() ? -1 : 0;
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].file == was) selected_ = static_cast<int>(i);
  update();
}

void RunList::select(int row) {
  if (rows_.empty()) return;
  // Above the first game: all of them, for the statistics of all games.
  selected_ = std::clamp(row, -1, static_cast<int>(rows_.size()) - 1);
  update();
}

int RunList::row_at(int y) const { return y * kRows / std::max(1, height()) - 1; }

void RunList::mousePressEvent(QMouseEvent* event) {
  const int row = row_at(event->position().toPoint().y());
  if (row >= -1 && row < static_cast<int>(rows_.size())) select(row);
  if (activated) activated();  // the buttons follow the selection
}

void RunList::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void RunList::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), to_qcolor(kRowBack));
  p.setFont(font());
  const double h = static_cast<double>(height()) / kRows;
  const double w = width();
  // Columns as parts of the width, so they grow with the window's scale.
  const double x_rank = 0.01 * w, x_score = 0.25 * w, x_stage = 0.26 * w, x_date = 0.40 * w,
               x_time = 0.80 * w, x_name = 0.82 * w;
  auto cell = [&](double left, double right, int row, const QString& text, Qt::Alignment align) {
    p.drawText(QRectF(left, row * h, right - left, h), align | Qt::AlignVCenter, text);
  };
  p.setPen(to_qcolor(kHeadText));
  cell(x_rank, x_score, 0,
       best_ ? QCoreApplication::translate("RecordsScreen", "順位") + "  " +
                   QCoreApplication::translate("RecordsScreen", "スコア")
             : QCoreApplication::translate("RecordsScreen", "終わり") + "  " +
                   QCoreApplication::translate("RecordsScreen", "スコア"),
       Qt::AlignLeft);
  cell(x_stage, x_date, 0, QCoreApplication::translate("RecordsScreen", "STAGE"), Qt::AlignHCenter);
  cell(x_date, x_time, 0, QCoreApplication::translate("RecordsScreen", "日付"), Qt::AlignLeft);
  cell(x_date, x_time, 0, QCoreApplication::translate("RecordsScreen", "時間"), Qt::AlignRight);
  cell(x_name, w, 0, best_ ? QCoreApplication::translate("RecordsScreen", "名前") : "", Qt::AlignLeft);
  if (rows_.empty()) {
    p.setPen(to_qcolor(kRowText));
    cell(0, w, 2, QCoreApplication::translate("RecordsScreen", "まだ記録がありません"), Qt::AlignHCenter);
    return;
  }
  for (size_t i = 0; i < rows_.size() && i + 1 < kRows; ++i) {
    const RunEntry& e = rows_[i];
    const int row = static_cast<int>(i) + 1;
    const bool sel = static_cast<int>(i) == selected_;
    if (sel) p.fillRect(QRectF(0, row * h, w, h), to_qcolor(kRowText));
    p.setPen(to_qcolor(sel ? kRowBack : kRowText));
    const QString mark = e.end == RunEnd::GameOver ? "×" : e.end == RunEnd::Cleared ? "★" : "－";
    cell(x_rank, x_score, row, best_ ? QString::number(row) : mark, Qt::AlignLeft);
    cell(x_rank, x_score, row, QString::number(e.score), Qt::AlignRight);
    cell(x_stage, x_date, row, QString::number(e.stage), Qt::AlignHCenter);
    cell(x_date, x_time, row, QDateTime::fromSecsSinceEpoch(e.date).toString("yy/MM/dd"), Qt::AlignLeft);
    // A game played at a gentler pace is marked beside its time.
    cell(x_date, x_time, row, (e.gentle ? "▽" : "") + play_time(e.ticks), Qt::AlignRight);
    cell(x_name, w, row, QString::fromStdString(e.name), Qt::AlignLeft);
  }
}

RecordsScreen::RecordsScreen(QWidget* window, std::function<void(QKeyEvent*)> keys) : QGroupBox(window) {
  setGeometry(0, 0, 401, 301);
  QFont f = window->font();
  f.setBold(true);
  setFont(f);
  setAutoFillBackground(true);
  list = new RunList(this);
  list->setGeometry(6, 18, 389, 240);
  // The statistics take the list's place: a third view beside the best and the last games.
  stats_slot = new QWidget(this);
  stats_slot->setObjectName("stats_slot");
  stats_slot->setGeometry(6, 18, 389, 240);
  stats_slot->hide();
  const int top = 264, width = 62, height = 29;
  QPushButton** row[] = {&list_button,   &watch_button,    &export_button,
                         &remove_button, &practice_button, &back_button};
  for (int i = 0; i < 6; ++i) *row[i] = make_button(this, QRect(6 + i * (width + 3), top, width, height));
  connect(list_button, &QPushButton::clicked, this, [this] {
    // The best games, the last, the statistics, the practice games, and round again.
    if (stats_shown_ && practice_store_ != nullptr) {
      show_practice();
    } else if (stats_shown_ || practice_shown_) {
      show_best(true);
    } else if (best_) {
      show_best(false);
    } else {
      show_stats();
    }
  });
  connect(watch_button, &QPushButton::clicked, this, [this] {
    if (const RunEntry* e = selected(); e && watch) watch(listed_store()->path_of(*e));
  });
  connect(export_button, &QPushButton::clicked, this, [this] { later([this] { export_selected(); }); });
  connect(remove_button, &QPushButton::clicked, this, [this] { later([this] { remove_selected(); }); });
  connect(practice_button, &QPushButton::clicked, this, [this] {
    if (practice) practice();
  });
  connect(back_button, &QPushButton::clicked, this, [this] { close_screen(); });
  list->activated = [this] { update_buttons(); };
  keys_ = std::move(keys);
  retranslate();
  hide();
}

void RecordsScreen::retranslate() {
  setTitle(practice_shown_ ? tr("RECORDS - 練習") : tr("RECORDS"));
  list_button->setText(stats_shown_ && practice_store_ != nullptr ? tr("練習の記録")
                       : stats_shown_ || practice_shown_            ? tr("ベスト10")
                       : best_                                      ? tr("最近")
                                                                    : tr("統計"));
  watch_button->setText(tr("見る"));
  export_button->setText(tr("書き出す"));
  remove_button->setText(tr("消す"));
  practice_button->setText(tr("練習"));
  back_button->setText(tr("戻る"));
  list->update();
}

void RecordsScreen::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) retranslate();
  QGroupBox::changeEvent(event);
}

void RecordsScreen::open(RunStore* store, RunStore* practice_games) {
  QElapsedTimer timer;
  timer.start();
  store_ = store;
  entries_ = store_ != nullptr ? store_->load() : std::vector<RunEntry>{};
  practice_store_ = store_ != nullptr ? practice_games : nullptr;
  practice_entries_.clear();
  best_ = true;
  stats_shown_ = false;
  practice_shown_ = false;
  if (menu_ == nullptr) {
    // The title's own focus ring keeps to the title's buttons; this one, made
    // with the first visit, to ours.
    menu_ = new MenuFocus(parentWidget(), keys_);
    menu_->set_order(Screen::Title,
                     {list_button, watch_button, export_button, remove_button, practice_button, back_button});
  }
  menu_->set_scale(scale_);
  refill();
  list->select(0);  // each visit starts at the best game
  show();
  raise();
  menu_->enter(Screen::Title, entries_.empty() ? back_button : watch_button);
  last_open_ms_ = static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void RecordsScreen::close_screen() {
  hide();
  if (menu_ != nullptr) menu_->enter(Screen::None, nullptr);
  if (closed) closed();
}

void RecordsScreen::show_practice() {
  stats_shown_ = false;
  practice_shown_ = true;
  best_ = false;
  // Read when first shown: the list of games opens without it.
  practice_entries_ = practice_store_ != nullptr ? practice_store_->load() : std::vector<RunEntry>{};
  refill();
  list->select(0);
  update_buttons();
}

void RecordsScreen::show_stats() {
  practice_shown_ = false;
  stats_shown_ = true;
  refill();
  list->select(-1);  // all games first; down goes through them one by one
  update_buttons();
}

void RecordsScreen::refill() {
  list->setVisible(!stats_shown_);
  stats_slot->setVisible(stats_shown_);
  list->set_rows(practice_shown_ ? recent_runs(practice_entries_)
                 : best_          ? best_runs(entries_)
                                  : recent_runs(entries_),
                 best_);
  retranslate();
  update_buttons();
}

void RecordsScreen::show_best(bool best) {
  best_ = best;
  stats_shown_ = false;
  practice_shown_ = false;
  refill();
}

void RecordsScreen::update_buttons() {
  const bool any = selected() != nullptr;
  watch_button->setEnabled(any && static_cast<bool>(watch));
  export_button->setEnabled(any);
  remove_button->setEnabled(any);
  practice_button->setEnabled(static_cast<bool>(practice));
  if (selection_changed) selection_changed(selected());
  if (menu_ != nullptr) menu_->update_ring();
}

const RunEntry* RecordsScreen::selected() const {
  const int i = list->selected();
  if (i < 0 || i >= static_cast<int>(list->rows().size())) return nullptr;
  return &list->rows()[static_cast<size_t>(i)];
}

void RecordsScreen::step(MenuStep step) {
  switch (step) {
    case MenuStep::Previous:
    case MenuStep::Next:
      list->select(list->selected() + (step == MenuStep::Next ? 1 : -1));
      return update_buttons();
    case MenuStep::Left:
    case MenuStep::Right:
      if (menu_ == nullptr) return;
      menu_->move(step == MenuStep::Right);
      return menu_->update_ring();
    case MenuStep::Press:
      if (menu_ != nullptr) menu_->press();
      return;
    case MenuStep::Back:
      return close_screen();
  }
}

void RecordsScreen::export_selected() {
  const RunEntry* e = selected();
  if (e == nullptr || listed_store() == nullptr) return;
  const std::string from = listed_store()->path_of(*e);
  QString name = QFileDialog::getSaveFileName(this, tr("記録を書き出す"),
                                              QDir::home().filePath(QString::fromStdString(e->file)),
                                              tr("QUILLOT の記録 (*.qrp)"));
  if (name.isEmpty()) return;
  if (!name.endsWith(".qrp")) name += ".qrp";
  const FileRead read = read_regular_file(from, kRecordingReadLimit);
  const int err = !read.ok()       ? read.error
                  : read.truncated ? EFBIG
                                   : replace_file(name.toStdString(), read.bytes);
  if (err != 0 && error)
    error(tr("記録を書き出せませんでした: %1").arg(QString::fromLocal8Bit(std::strerror(err))));
}

void RecordsScreen::remove_selected() {
  const RunEntry* e = selected();
  RunStore* store = listed_store();
  if (e == nullptr || store == nullptr) return;
  const std::string file = e->file;
  if (ask && !ask(tr("この記録を消しますか？"))) return;
  std::string why;
  if (!store->remove(file, &why) && error)
    error(tr("記録を消せませんでした: %1").arg(QString::fromStdString(why)));
  (practice_shown_ ? practice_entries_ : entries_) = store->load();
  refill();
}

}  // namespace quillot
