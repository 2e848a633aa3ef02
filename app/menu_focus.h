#pragma once
#include <QObject>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "session/flow.h"

namespace quillot {

// The title, shop and story screens by keyboard: Tab, Shift+Tab and the
// arrows move a visible focus between the enabled buttons of the screen
// shown, and Return or Space presses the focused one, as a click would. A
// key counts only if it went down while that screen was there: a fire key
// held as a stage ends repeats, and a repeat presses nothing.
class MenuFocus : public QObject {
 public:
  // `window` holds the screens; the ring is drawn over them.
  explicit MenuFocus(QWidget* window);

  // The buttons of a screen in the order Tab visits them.
  void set_order(Screen screen, std::vector<QPushButton*> order);
  // A screen is shown: the focus goes to `first` (or to the window itself
  // when no screen covers the playfield, so that the keys play).
  void enter(Screen screen, QPushButton* first);
  // The next or previous enabled button of the screen shown; false when no
  // screen is shown.
  bool move(bool forward);
  // The ring grows with the window's scale.
  void set_scale(int scale);
  // Puts the ring around the focused button, or hides it.
  void update_ring();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool takes(const QPushButton* b) const;
  QWidget* window_;
  QWidget* ring_;
  Screen screen_ = Screen::None;
  std::array<std::vector<QPushButton*>, 4> order_{};  // by Screen
};

}  // namespace quillot
