#pragma once
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/input/input_router.h"
#include "app/window/menu_focus.h"
#include "session/run_store.h"

namespace quillot {

// The rows of the records screen, drawn in the title's colours: the ten best
// games or the last twenty, one of them selected.
class RunList : public QWidget {
 public:
  explicit RunList(QWidget* parent);
  void set_rows(std::vector<RunEntry> rows, bool best);
  const std::vector<RunEntry>& rows() const { return rows_; }
  int selected() const { return selected_; }
  void select(int row);
  std::function<void()> activated;  // a double click

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int row_at(int y) const;
  std::vector<RunEntry> rows_;
  bool best_ = true;
  int selected_ = -1;
};

// The records screen: it lies over the title like the game's other screens.
// Up and down choose a game, left and right a button; Esc or the pad's East
// goes back to the title.
class RecordsScreen : public QGroupBox {
  Q_DECLARE_TR_FUNCTIONS(RecordsScreen)

 public:
  // `keys`: where the keys its buttons get go (the window's router).
  RecordsScreen(QWidget* window, std::function<void(QKeyEvent*)> keys);

  // Reads the store's list (never a replay, unless the index is lost) and shows it.
  // `practice_games`: the practice games' store, listed as a view of their own; may be null.
  void open(RunStore* store, RunStore* practice_games = nullptr);
  void close_screen();
  void step(MenuStep step);
  void show_best(bool best);
  bool showing_best() const { return best_; }
  // The statistics in the list's place: of all games, then of each game of
  // the list shown last, one by one.
  void show_stats();
  bool showing_stats() const { return stats_shown_; }
  // The practice games, the last first, to watch, export or remove.
  void show_practice();
  bool showing_practice() const { return practice_shown_; }
  // The game selected, or null.
  const RunEntry* selected() const;
  void set_scale(int scale) { scale_ = scale; }
  // How long the last open took, for the bar of 100 ms.
  double last_open_ms() const { return last_open_ms_; }

  std::function<void(const std::string& recording_path)> watch;
  std::function<void()> practice;
  std::function<bool(const QString&)> ask;           // Yes or No
  std::function<void(const QString&)> error;         // an error box
  std::function<void(std::function<void()>)> later;  // runs a box once the handler has returned
  std::function<void()> closed;
  // The game selected now (null: none), for the statistics in stats_slot.
  std::function<void(const RunEntry*)> selection_changed;

  RunList* list = nullptr;
  QPushButton* list_button = nullptr;  // the best or the last games
  QPushButton* watch_button = nullptr;
  QPushButton* export_button = nullptr;
  QPushButton* remove_button = nullptr;
  QPushButton* practice_button = nullptr;
  QPushButton* back_button = nullptr;
  // Where the statistics of the selected game and of all games go.
  QWidget* stats_slot = nullptr;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void retranslate();
  void refill();
  void update_buttons();
  void export_selected();
  void remove_selected();

  MenuFocus* menu_ = nullptr;
  std::function<void(QKeyEvent*)> keys_;
  int scale_ = 1;
  RunStore* store_ = nullptr;
  RunStore* practice_store_ = nullptr;
  std::vector<RunEntry> practice_entries_;
  bool practice_shown_ = false;
  // The store of the games listed now: the player's, or the practice games'.
  RunStore* listed_store() const { return practice_shown_ ? practice_store_ : store_; }
  std::vector<RunEntry> entries_;
  bool best_ = true;
  bool stats_shown_ = false;
  double last_open_ms_ = 0;
};

}  // namespace quillot
