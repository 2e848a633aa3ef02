#pragma once
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window/practice_boxes.h"
#include "game/sound.h"
#include "game/state.h"
#include "session/practice.h"
#include "session/replay.h"

namespace quillot {

class TForm1;
class RunRecorder;

// Practice of one stage in the game's window, apart from the player's game.
//
// While a practice runs, the window's game is a fresh one holding the
// practice's profile, and the player's game waits here untouched, with its
// recording and tick count: what the window records goes into the practice's
// own recording, numbered from its start, and the player's recording goes on
// afterwards as if no practice had been. That fresh game is also what makes a
// practice recording replay as any other: its header (seed, profile with the
// stage and equipment, stories) and one input, `click practice` on the title
// screen, bring a fresh game to the same state.
//
// The save is never written while practising (GAME OVER's reset answers as
// written and writes nothing), and the best score a practice reaches stays in
// the practice's game.
class Practice : public QObject {
  Q_DECLARE_TR_FUNCTIONS(Practice)

 public:
  // The last practice recordings kept in runs/practice/.
  static constexpr int kKept = 20;

  explicit Practice(TForm1& form);
  ~Practice() override;

  // The chooser, over whatever is shown (the records screen).
  void open();
  // Where Back leads: the records screen; the title screen without one.
  void set_back(std::function<void()> back) { back_ = std::move(back); }
  // A practice game holds the window now.
  bool active() const { return player_ != nullptr; }

  // What the window's game asks while a practice runs.
  void stage_over(bool cleared);
  void heard(Sound sound);

  // Open while shown, for tests.
  PracticeChooser* chooser() const { return chooser_; }
  PracticeResultBox* result_box() const { return result_; }
  // The recording of the practice under way or last played; empty when
  // there is none (no place for it).
  const std::string& recording_path() const { return recording_path_; }
  // Where practice recordings go; empty without a save folder.
  std::string folder() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void start(int32_t stage, const Profile& equipment);
  void show_result();
  void end_recording();
  // The player's game, recording and ticks back in the window.
  void restore();
  void go_back();
  // The saved game's profile, as the save file holds it.
  Profile saved_profile() const;
  std::vector<std::string> recorded_games() const;

  TForm1& form_;
  std::function<void()> back_;
  QPointer<PracticeChooser> chooser_;
  QPointer<PracticeResultBox> result_;
  std::vector<std::string> games_;  // the recorded games the chooser lists

  // While practising: the player's game and what recorded it.
  std::unique_ptr<Game> player_;
  Recorder* player_recorder_ = nullptr;
  RunRecorder* player_runs_ = nullptr;
  int64_t player_ticks_ = 0;
  int player_pace_ = 100;

  std::unique_ptr<Recorder> recorder_;
  std::string recording_path_;
  int32_t stage_ = 0;
  Profile equipment_;
  int32_t gold_at_start_ = 0;
  int64_t outcome_tick_ = -1;
  bool cleared_ = false;
};

}  // namespace quillot
