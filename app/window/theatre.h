#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/input/input_router.h"
#include "app/options/settings.h"
#include "app/window/dialogs.h"
#include "game/state.h"
#include "session/flow.h"
#include "session/theatre.h"

namespace quillot {

class TForm1;
class TheatreBar;
class Recorder;

// A recording watched in the game's window. The window shows the watched
// game as it shows a played one (its screens, its playfield, its music);
// the theatre's bar and keys work it, and no input of the watcher reaches
// the watched game. The player's own game, its screen, picture, music and
// recorder wait meanwhile and are put back when the theatre closes.
class TheatreView : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TheatreView)

 public:
  TheatreView(TForm1& form, std::function<void(int status)> on_close, bool leave_at_end);
  ~TheatreView() override;
  // Watches `recording` from its start (another one than before, too).
  void load(Recording recording);
  void command(TheatreCommand c);
  void seek_to(int64_t tick, bool released);
  // Closes the theatre: the player's game is back, then on_close runs.
  void leave();
  // The player's game back, without on_close (the window is closing).
  void restore_player();
  Theatre& theatre() { return *theatre_; }
  TheatreBar& bar() { return *bar_; }
  // The ReplayStatus of what was watched so far.
  int status() const { return status_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the player's session was when the theatre opened.
  struct Player {
    Game game;
    Screen screen = Screen::Title;
    bool timer = false, paused = false, choice = true, save = true, replaying = false;
    QString story_text, story_name, story_about, enemy_count;
    QPixmap story_picture;
    QImage bak, cg;
    CanvasPen bak_pen, cg_pen;
    std::string track;
    Recorder* recorder = nullptr;
    Dialogs* dialogs = nullptr;
    Language language = Language::Japanese;
  };
  // The watched game's boxes (a story picture the recording could not show)
  // become the theatre's line, so nothing waits for a click; the help and
  // the scale stay the window's.
  class Boxes : public Dialogs {
   public:
    explicit Boxes(TheatreView& view) : view_(view) {}
    void message(const QString& text) override { view_.note(text); }
    void error(const QString& text) override { view_.note(error_box_text(text)); }
    bool ask(const QString&) override { return false; }
    void help(const QString& html) override { view_.player_.dialogs->help(html); }
    void set_scale(int scale) override { view_.player_.dialogs->set_scale(scale); }

   private:
    TheatreView& view_;
  };
  // A line for a few seconds over the bar.
  void note(const QString& text);
  void keep_player();
  void beat();
  void show();
  // The recording stopped where it is: said once on screen and on the terminal.
  void stopped();
  void set_mice_through_screens(bool through);
  // The bar shows for a while after the watcher moves or asks something,
  // and stays while the game stands (paused, ended, a line to read).
  void reveal_bar();
  bool bar_may_hide() const;

  TForm1& form_;
  std::function<void(int)> on_close_;
  bool leave_at_end_;
  bool touched_ = false;  // the watcher took the controls: it stays at the end
  bool restored_ = false;
  Player player_;
  Boxes boxes_{*this};
  std::unique_ptr<Theatre> theatre_;
  TheatreBar* bar_;
  QTimer beat_;
  QElapsedTimer clock_;
  QTimer message_timer_;
  QTimer hide_bar_;
  QString message_;
  bool reported_ = false;
  int status_ = 0;
};

}  // namespace quillot
