#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "app/window/form.h"
#include "session/replay.h"

namespace quillot {

// Plays a recording back in the window at the game's own pace: ticks every
// 50 ms while the frame timer runs, and inputs on the screens a little apart
// so a person can follow them. Quits the application at the end.
class ReplayWindow : public QObject {
 public:
  ReplayWindow(Recording recording, TForm1& form);
  int result() const { return result_; }
  bool finished() const { return !beat_.isActive(); }

 private:
  void beat();
  void finish(int result, const std::string& text);

  TForm1& form_;
  Replayer replayer_;
  QTimer beat_;
  QElapsedTimer since_input_;
  int result_ = 0;
};

}  // namespace quillot
