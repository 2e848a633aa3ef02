#pragma once
#include <QCoreApplication>
#include <QLabel>
#include <QWidget>
#include <array>

#include "session/run_stats.h"

namespace quillot {

// The statistics of one recorded game, or their sum over all games, as a
// compact table in the colours of the game's HUD. It only shows: the screen
// that holds it decides when and where, and takes every input itself.
class StatsView : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(StatsView)

 public:
  explicit StatsView(QWidget* parent = nullptr);
  // `all_games`: the sum over every recorded game, headed with their number.
  void show_stats(const RunStats& stats, bool all_games);
  // The window's scale, 1 to 4: the texts grow with it, as the window's own do.
  void set_scale(int scale);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  enum Row {
    kTime,
    kGames,
    kCleared,
    kShots,
    kDestroyed,
    kCoins,
    kGold,
    kBombs,
    kHits,
    kGuards,
    kRetries,
    kRows
  };
  void refill();
  RunStats stats_;
  bool all_games_ = false;
  int scale_ = 1;
  QLabel* heading_;
  std::array<QLabel*, kRows> names_{};
  std::array<QLabel*, kRows> values_{};
  QLabel* kinds_;
  QLabel* stage_times_;
};

// Ticks as the player's clock shows them: "m:ss", or "h:mm:ss" from an hour on.
QString play_time_text(int64_t ticks);

}  // namespace quillot
