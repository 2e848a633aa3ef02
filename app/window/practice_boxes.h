#pragma once
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "session/practice.h"

namespace quillot {

// The practice's two small windows, drawn at the game's scale with the menus'
// yellow focus ring. Both open without a loop of their own (open(), not
// exec()), so a pad that opened one can work it and close it.

// Which stage to practise and with whose equipment: the saved game's, or a
// recorded game's where that stage began. The stages offered follow the
// equipment: those the save has reached, or those the recorded game started.
// The arrows and the pad's cross move and change, Return or the pad's South
// starts, Esc goes back.
class PracticeChooser : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(PracticeChooser)

 public:
  // `saved_stage`: the saved game's stage; `games`: how each recorded game is
  // named in the list; `stages_of(i)`: the stages recorded game i started.
  PracticeChooser(QWidget* parent, int scale, int32_t saved_stage, const QStringList& games,
                  std::function<std::vector<int32_t>(int)> stages_of);

  // -1: the saved game; otherwise the recorded game by its place in `games`.
  int game() const;
  int32_t stage() const;

  QComboBox* equipment = nullptr;
  QComboBox* stages = nullptr;
  QPushButton* start = nullptr;
  QPushButton* back = nullptr;

 private:
  void fill_stages();
  int32_t saved_stage_;
  std::function<std::vector<int32_t>(int)> stages_of_;
};

// The outcome of a practice (time, score, gold) and where to go from it.
class PracticeResultBox : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(PracticeResultBox)

 public:
  enum Choice { Back = 0, Again = 1, Another = 2 };  // as finished() reports them
  PracticeResultBox(QWidget* parent, int scale, int32_t stage, const PracticeResult& result);

  QLabel* text = nullptr;
  QPushButton* again = nullptr;
  QPushButton* another = nullptr;
  QPushButton* back = nullptr;
};

}  // namespace quillot
