#include "app/window/stats_view.h"

#include <QEvent>
#include <QGridLayout>

#include "app/render/look.h"

namespace quillot {

namespace {

// The HUD's colours: its bright green on its dark blue box.
constexpr Color kBox = 0xA00000;
constexpr Color kNameText = 0xCDF900;
constexpr Color kValueText = 0xFFFFFF;
constexpr int kTicksPerSecond = 20;

QLabel* make_label(QWidget* parent, Color color) {
  auto* l = new QLabel(parent);
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, to_qcolor(color));
  l->setPalette(pal);
  return l;
}

QString percent(double share) { return QString::number(100.0 * share, 'f', 1) + "%"; }

// A stage's time to a tenth of a second: "1:05.3".
QString stage_time_text(int64_t ticks) {
  const int64_t tenths = ticks * 10 / kTicksPerSecond;
  return QString("%1:%2.%3").arg(tenths / 600).arg(tenths / 10 % 60, 2, 10, QChar('0')).arg(tenths % 10);
}

}  // namespace

QString play_time_text(int64_t ticks) {
  const int64_t s = ticks / kTicksPerSecond;
  if (s >= 3600)
    return QString("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QChar('0'))
        .arg(s % 60, 2, 10, QChar('0'));
  return QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

StatsView::StatsView(QWidget* parent)
    : QWidget(parent),
      heading_(make_label(this, kNameText)),
      kinds_(make_label(this, kValueText)),
      stage_times_(make_label(this, kValueText)) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, to_qcolor(kBox));
  setPalette(pal);
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(1);
  grid->addWidget(heading_, 0, 0, 1, 2);
  for (int r = 0; r < kRows; ++r) {
    names_[static_cast<size_t>(r)] = make_label(this, kNameText);
    values_[static_cast<size_t>(r)] = make_label(this, kValueText);
    grid->addWidget(names_[static_cast<size_t>(r)], r + 1, 0);
    grid->addWidget(values_[static_cast<size_t>(r)], r + 1, 1);
  }
  // The long lines wrap within the table rather than widen it.
  for (QLabel* l : {kinds_, stage_times_}) l->setWordWrap(true);
  grid->addWidget(kinds_, kRows + 1, 0, 1, 2);
  grid->addWidget(stage_times_, kRows + 2, 0, 1, 2);
  grid->setRowStretch(kRows + 3, 1);
  grid->setColumnStretch(1, 1);
  set_scale(1);
}

void StatsView::show_stats(const RunStats& stats, bool all_games) {
  stats_ = stats;
  all_games_ = all_games;
  refill();
}

void StatsView::set_scale(int scale) {
  scale_ = scale;
  setFont(game_font(12 * scale));
  heading_->setFont(game_font(14 * scale, true));
  for (QLabel* l : {kinds_, stage_times_}) l->setFont(game_font(10 * scale));
  layout()->setContentsMargins(6 * scale, 4 * scale, 6 * scale, 4 * scale);
  refill();
}

void StatsView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) refill();
  QWidget::changeEvent(event);
}

void StatsView::refill() {
  const RunStats& s = stats_;
  heading_->setText(all_games_ ? tr("全%1ゲームの合計").arg(s.games) : tr("このゲームの記録"));
  const std::array<std::pair<QString, QString>, kRows> rows{{
      {tr("プレイ時間"), play_time_text(s.ticks)},
      {tr("ゲーム数"), QString::number(s.games)},
      {tr("クリアしたステージ"), QString::number(s.stages_cleared)},
      {tr("ショット"),
       tr("%1発 命中%2（%3）").arg(s.shots_fired).arg(s.shots_hit).arg(percent(s.accuracy()))},
      {tr("倒した敵"), QString::number(s.enemies_destroyed())},
      {tr("コイン"), tr("%1枚取得 %2枚落下").arg(s.coins_caught).arg(s.coins_missed)},
      {tr("ゴールド"), tr("%1G稼ぎ %2G使用").arg(s.gold_earned).arg(s.gold_spent)},
      {tr("使ったボム"), QString::number(s.bombs_used)},
      {tr("被弾"), QString::number(s.hits_taken)},
      {tr("失ったガード"), QString::number(s.guards_lost)},
      {tr("リトライ"), QString::number(s.retries)},
  }};
  for (size_t r = 0; r < rows.size(); ++r) {
    names_[r]->setText(rows[r].first);
    values_[r]->setText(rows[r].second);
  }
  // One game is one game: its count would only say 1.
  names_[kGames]->setVisible(all_games_);
  values_[kGames]->setVisible(all_games_);

  QStringList kinds;
  for (size_t k = 1; k < s.destroyed.size(); ++k)
    if (s.destroyed[k] > 0) kinds << QString("#%1×%2").arg(k).arg(s.destroyed[k]);
  kinds_->setText(kinds.isEmpty() ? QString() : tr("敵の種類別: ") + kinds.join("  "));
  kinds_->setVisible(!kinds.isEmpty());
  QStringList stages;
  for (const auto& [stage, ticks] : s.stage_ticks)
    stages << QString("ST%1\u00A0%2")
                  .arg(stage)
                  .arg(stage_time_text(ticks));  // a line breaks between stages only
  stage_times_->setText(stages.isEmpty() ? QString() : tr("ステージごとの時間: ") + stages.join("  "));
  stage_times_->setVisible(!stages.isEmpty());
}

}  // namespace quillot
