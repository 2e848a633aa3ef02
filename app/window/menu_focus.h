#pragma once
#include <QKeyEvent>
#include <QObject>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "session/flow.h"

namespace quillot {

// The title, shop and story screens' menus: a visible focus moved between
// the enabled buttons of the screen shown, and the focused one pressed as a
// click would. What moves or presses it is the window's input router: the
// keys the buttons get go to `keys`, never to the buttons themselves.
class MenuFocus : public QObject {
 public:
  // `window` holds the screens; the ring is drawn over them.
  MenuFocus(QWidget* window, std::function<void(QKeyEvent*)> keys);

  // The buttons of a screen in the order Tab visits them.
  void set_order(Screen screen, std::vector<QPushButton*> order);
  // A screen is shown: the focus goes to `first` (or to the window itself
  // when no screen covers the playfield, so that the keys play).
  void enter(Screen screen, QPushButton* first);
  // The next or previous enabled button of the screen shown; false when no
  // screen is shown.
  bool move(bool forward);
  // Presses the focused button, when it can be pressed.
  void press();
  // The ring grows with the window's scale.
  void set_scale(int scale);
  // Puts the ring around the focused button, or hides it.
  void update_ring();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool takes(const QPushButton* b) const;
  QWidget* window_;
  std::function<void(QKeyEvent*)> keys_;
  QWidget* ring_;
  Screen screen_ = Screen::None;
  std::array<std::vector<QPushButton*>, 4> order_{};  // by Screen
};

}  // namespace quillot
