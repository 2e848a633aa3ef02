#pragma once
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <optional>

#include "app/input/bindings.h"

namespace quillot {

class OptionsHost;

// The controls page of the options: every action with its keys and pad
// buttons. Pressing an action's key button, then a key, adds that key to the
// action's (up to Bindings::kMaxPerAction), or takes it off when the action
// has it already; the pad button likewise with the next pad button. A key
// the window keeps, one another action has, or one past the limit is refused
// with a word why, and the button waits on; Esc stops the wait. The
// status line names the action's keys after each change. Changes apply at
// once and are remembered.
class ControlsPage : public QWidget {
 public:
  explicit ControlsPage(OptionsHost* form, QWidget* parent = nullptr);

  // The buttons' texts, as the bindings are now.
  void refresh();
  // Every fixed text in the language in use, and the buttons' texts.
  void retranslate();

  std::array<QPushButton*, kActionCount> key_buttons{};  // null where an action takes no key
  std::array<QPushButton*, kActionCount> pad_buttons{};
  QPushButton* reset = nullptr;
  QLabel* status = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void wait_for_key(Action action);
  void wait_for_pad(Action action);
  // The pad button shows that it waits, and the next pad button comes here.
  void listen_for_pad(Action action);
  // Binds a key (KeyKind) or a pad button (PadKind) to the action, or says why not.
  template <typename Kind>
  void take(Action action, typename Kind::Item item, const QString& shown);
  // Why `name` was refused; `owner` is the action that has it.
  void say(BindRefusal r, const QString& name, std::optional<Action> owner);

  OptionsHost* form_;
  QLabel* keys_heading_ = nullptr;
  QLabel* pads_heading_ = nullptr;
  std::array<QLabel*, kActionCount> names_{};
  int waiting_ = -1;  // the action whose key button waits for a key
  int pad_waiting_ = -1;  // the action whose pad button waits for a pad button
};

}  // namespace quillot
