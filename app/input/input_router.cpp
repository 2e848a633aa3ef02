#include "app/input/input_router.h"

#include "app/input/keys.h"

namespace quillot {

namespace {

// A quarter of the stick's travel: worn sticks rest a little off centre.
constexpr int kDeadZone = 32768 / 4;

int stick_direction(int value) { return value < -kDeadZone ? -1 : value > kDeadZone ? 1 : 0; }

uint32_t bit(PadButton b) { return uint32_t{1} << static_cast<unsigned>(b); }

// The keys that work a menu on the title, shop and story screens.
std::optional<MenuStep> menu_key(int key) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Down:
    case Qt::Key_Right:
      return MenuStep::Next;
    case Qt::Key_Backtab:
    case Qt::Key_Up:
    case Qt::Key_Left:
      return MenuStep::Previous;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      return MenuStep::Press;
    default:
      return std::nullopt;
  }
}

// The pad's cross in a menu: up and left go back, down and right on.
std::optional<MenuStep> cross_step(PadButton b, bool sideways_apart) {
  switch (b) {
    case PadButton::Up:
      return MenuStep::Previous;
    case PadButton::Down:
      return MenuStep::Next;
    case PadButton::Left:
      return sideways_apart ? MenuStep::Left : MenuStep::Previous;
    case PadButton::Right:
      return sideways_apart ? MenuStep::Right : MenuStep::Next;
    default:
      return std::nullopt;
  }
}

// The theatre's keys, fixed like the window's own so that every watcher finds them.
std::optional<TheatreCommand> theatre_key(int key) {
  switch (key) {
    case Qt::Key_Space:
      return TheatreCommand::Pause;
    case Qt::Key_Left:
      return TheatreCommand::Back;
    case Qt::Key_Right:
      return TheatreCommand::Forward;
    case Qt::Key_Period:
      return TheatreCommand::Step;
    case Qt::Key_Minus:
      return TheatreCommand::Slower;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return TheatreCommand::Faster;
    case Qt::Key_Home:
      return TheatreCommand::Start;
    case Qt::Key_End:
      return TheatreCommand::End;
    case Qt::Key_Escape:
      return TheatreCommand::Leave;
    default:
      return std::nullopt;
  }
}

std::optional<TheatreCommand> theatre_pad(PadButton b) {
  switch (b) {
    case PadButton::South:
      return TheatreCommand::Pause;
    case PadButton::LeftShoulder:
      return TheatreCommand::Back;
    case PadButton::RightShoulder:
      return TheatreCommand::Forward;
    case PadButton::Left:
      return TheatreCommand::Slower;
    case PadButton::Right:
      return TheatreCommand::Faster;
    case PadButton::Down:
      return TheatreCommand::Step;
    case PadButton::East:
      return TheatreCommand::Leave;
    default:
      return std::nullopt;
  }
}

}  // namespace

bool InputRouter::play_taken(const InputContext& c) {
  return c.stage_running && !c.paused && !c.replaying && c.front == InputContext::Front::Main;
}

Routed InputRouter::key_press(const InputContext& c, int key, uint32_t scan, Qt::KeyboardModifiers modifiers,
                              bool autorepeat) {
  const bool shortcut = (modifiers & (Qt::ControlModifier | Qt::AltModifier)) != 0;
  const bool theatre = c.theatre && c.front == InputContext::Front::Main;
  if (theatre && !shortcut) {
    // Held, only the step repeats: a held Right must not race through the game.
    if (const auto t = theatre_key(key))
      return autorepeat && *t != TheatreCommand::Step ? Routed{} : Routed::watch(*t);
  }
  if (c.front == InputContext::Front::Records && !shortcut) {
    if (key == Qt::Key_Escape) return Routed::menu(MenuStep::Back);
    if (key == Qt::Key_Left || key == Qt::Key_Right)
      return Routed::menu(key == Qt::Key_Left ? MenuStep::Left : MenuStep::Right);
  }
  // The records' key on the title, unless the player gave it to an action.
  if (c.screen == Screen::Title && c.front == InputContext::Front::Main && key == Qt::Key_R && !shortcut &&
      !autorepeat && !theatre && !bindings_->key_action(key, scan))
    return Routed::window(Action::Records);
  if (c.screen != Screen::None && !shortcut && !theatre) {
    if (const auto step = menu_key(key)) {
      // Only a fresh press presses: a fire key held as a stage ends repeats.
      if (autorepeat && step == MenuStep::Press) return {};
      return Routed::menu(*step);
    }
  }
  const auto a = key_action(*bindings_, key, scan, modifiers);
  // The keyboard's own repeat is no press: held keys act through the ticks.
  if (!a || autorepeat) return {};
  return action(c, *a, HeldControls::Source::Keys);
}

void InputRouter::key_release(int key, uint32_t scan) {
  // Whatever else went down meanwhile: Ctrl or Alt pressed while steering
  // must not keep the bird steering once the key is let go.
  if (const auto a = bindings_->key_action(key, scan)) held_.release(*a, HeldControls::Source::Keys);
}

Routed InputRouter::action(const InputContext& c, Action a, HeldControls::Source from) {
  const bool play = play_taken(c);
  // The player's own pause key pauses what is watched too.
  if (c.theatre && c.front == InputContext::Front::Main && a == Action::Pause)
    return Routed::watch(TheatreCommand::Pause);
  switch (a) {
    case Action::Left:
    case Action::Right:
      held_.press(a, from, play);
      return {};
    case Action::Fire:
      return held_.press(a, from, play) ? Routed::play(Input::down(MouseButton::Left)) : Routed{};
    case Action::Bomb:
      return play ? Routed::play(Input::down(MouseButton::Right)) : Routed{};
    case Action::Pause:
      return play || (c.paused && c.stage_running) ? Routed::window(Action::Pause) : Routed{};
    case Action::Escape:
      // A stage in play pauses first; only then does Esc leave full screen.
      if (play) return Routed::window(Action::Pause);
      return c.fullscreen ? Routed::window(Action::Escape) : Routed{};
    default:
      return Routed::window(a);
  }
}

std::vector<Routed> InputRouter::pad_event(const InputContext& c, const PadEvent& e) {
  switch (e.kind) {
    case PadEvent::Kind::Added:
      pads_[e.pad] = {};
      return {};
    case PadEvent::Kind::Removed:
      pads_.erase(e.pad);
      resync_pads(c);
      // A pad lost in play would leave the bird to its fate.
      if (play_taken(c)) return {Routed::window(Action::Pause)};
      return {};
    case PadEvent::Kind::Stick: {
      PadHeld& h = pads_[e.pad];
      int& axis = e.vertical ? h.stick_y : h.stick_x;
      const int was = axis;
      axis = stick_direction(e.value);
      resync_pads(c);
      // Tipped, the stick is the cross in a menu: a screen's, a box's, the options'.
      const bool menu = c.front != InputContext::Front::Main || (c.screen != Screen::None && !c.theatre);
      if (axis == was || axis == 0 || c.pads_away || !menu) return {};
      const PadButton as = e.vertical ? (axis < 0 ? PadButton::Up : PadButton::Down)
                                      : (axis < 0 ? PadButton::Left : PadButton::Right);
      const bool apart = c.front == InputContext::Front::Window || c.front == InputContext::Front::Records;
      return {Routed::menu(*cross_step(as, apart))};
    }
    case PadEvent::Kind::Button:
      break;
  }
  PadHeld& h = pads_[e.pad];
  if (e.down) {
    h.buttons |= bit(e.button);
  } else {
    h.buttons &= ~bit(e.button);
  }
  resync_pads(c);
  if (!e.down || c.pads_away) return {};
  return {pad_button(c, e.button)};
}

Routed InputRouter::pad_button(const InputContext& c, PadButton b) {
  if (c.capturing_pad) return Routed::bind(b);
  const auto a = bindings_->pad_action(b);
  switch (c.front) {
    case InputContext::Front::Box:
      // The cross moves between a box's buttons (a question's はい and
      // いいえ) and fire presses the one in focus; any other button closes
      // the box as Esc does (OK, or いいえ).
      if (const auto step = cross_step(b, false)) return Routed::menu(*step);
      return Routed::menu(a == Action::Fire ? MenuStep::Press : MenuStep::Back);
    case InputContext::Front::Window:
    case InputContext::Front::Records:
      if (const auto step = cross_step(b, true)) return Routed::menu(*step);
      if (a == Action::Fire) return Routed::menu(MenuStep::Press);
      return a ? Routed::menu(MenuStep::Back) : Routed{};
    case InputContext::Front::Main:
      break;
  }
  if (c.theatre) {
    if (const auto t = theatre_pad(b)) return Routed::watch(*t);
    if (!a || a == Action::Left || a == Action::Right || a == Action::Fire || a == Action::Bomb) return {};
    return action(c, *a, HeldControls::Source::Pad);
  }
  if (c.screen != Screen::None) {
    if (const auto step = cross_step(b, false)) return Routed::menu(*step);
    if (a == Action::Fire) return Routed::menu(MenuStep::Press);
    if (a == Action::Bomb) return Routed::menu(MenuStep::Back);
  }
  // A pad's left and right are held through resync_pads.
  if (!a || a == Action::Left || a == Action::Right) return {};
  return action(c, *a, HeldControls::Source::Pad);
}

void InputRouter::resync_pads(const InputContext& c) {
  bool left = false, right = false, fire = false;
  if (!c.pads_away && !c.paused) {
    for (const auto& [pad, h] : pads_) {
      for (size_t i = 0; i < kPadButtonCount; ++i) {
        if ((h.buttons & (uint32_t{1} << i)) == 0) continue;
        const auto a = bindings_->pad_action(static_cast<PadButton>(i));
        left = left || a == Action::Left;
        right = right || a == Action::Right;
        fire = fire || a == Action::Fire;
      }
      left = left || h.stick_x < 0;
      right = right || h.stick_x > 0;
    }
  }
  constexpr auto pad = HeldControls::Source::Pad;
  for (const auto& [a, want] : {std::pair{Action::Left, left}, {Action::Right, right}, {Action::Fire, fire}}) {
    // Fire goes down only through its button's press, which also shoots.
    if (want && !held_.held(a, pad) && a != Action::Fire) held_.press(a, pad, play_taken(c));
    if (!want && held_.held(a, pad)) held_.release(a, pad);
  }
}

Routed InputRouter::mouse_move(const InputContext& c, int x) const {
  // Nothing moves while paused, the steering target included.
  return play_taken(c) ? Routed::play(Input::move(x)) : Routed{};
}

Routed InputRouter::mouse_press(const InputContext& c, MouseButton button) const {
  // A click on a paused stage resumes it; it does not fire.
  if (c.paused && c.stage_running && !c.replaying) return Routed::window(Action::Pause);
  return play_taken(c) ? Routed::play(Input::down(button)) : Routed{};
}

std::vector<Input> InputRouter::before_tick(const InputContext& c, const Game& g) {
  if (!play_taken(c)) return {};
  return held_.before_tick(g);
}

}  // namespace quillot
