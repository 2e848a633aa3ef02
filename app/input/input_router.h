#pragma once
#include <Qt>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "app/input/bindings.h"
#include "app/input/gamepad.h"
#include "game/state.h"
#include "session/action.h"
#include "session/flow.h"
#include "session/held_controls.h"
#include "session/input.h"

namespace quillot {

// Where the window stands when an event comes: all the router needs to know
// to decide what the event means.
struct InputContext {
  Screen screen = Screen::Title;  // None: the playfield, with no screen over it
  bool stage_running = false;     // the frame timer runs and no screen covers the playfield
  bool paused = false;
  bool replaying = false;  // a recording drives the game; the player's input never reaches it
  bool fullscreen = false;
  // Which of the game's windows is in front: the main one, a message box
  // (the help is one), another window of ours (the options), or the
  // records screen lying over the title.
  enum class Front : uint8_t { Main, Box, Window, Records } front = Front::Main;
  bool capturing_pad = false;  // the controls page waits for a pad button to bind
  bool pads_away = false;      // another program is active: the pads are not ours
  bool theatre = false;        // a recording is watched: its own keys work it, the screens' menus are still
};

// What the theatre's keys, pad buttons and bar ask of it.
enum class TheatreCommand : uint8_t { Pause, Back, Forward, Step, Slower, Faster, Start, End, Leave };

// A move in a menu: on the title, shop and story screens, in a box and in
// the options window alike.
enum class MenuStep : uint8_t { Previous, Next, Left, Right, Press, Back };

// What one event means: exactly one of an input for the game, a step in a
// menu, a command to the window, or a pad button for the binding being made.
struct Routed {
  enum class Kind : uint8_t { Nothing, Play, Menu, Window, Bind, Theatre };
  Kind kind = Kind::Nothing;
  Input input;                         // Play
  MenuStep step = MenuStep::Next;      // Menu
  Action command = Action::Pause;      // Window
  PadButton button = PadButton::South; // Bind
  TheatreCommand theatre = TheatreCommand::Pause;  // Theatre

  static Routed play(Input in) { return {Kind::Play, in, {}, {}, {}}; }
  static Routed menu(MenuStep s) { return {Kind::Menu, {}, s, {}, {}}; }
  static Routed window(Action a) { return {Kind::Window, {}, {}, a, {}}; }
  static Routed bind(PadButton b) { return {Kind::Bind, {}, {}, {}, b}; }
  static Routed watch(TheatreCommand t) { return {Kind::Theatre, {}, {}, {}, {}, t}; }
  bool operator==(const Routed&) const = default;
};

// The one place that decides what a key, a pad button or a mouse event over
// the playfield means now. Keys and pad buttons become the same actions from
// the one action table; held left, right and fire are one piece of state for
// both. Clicks on the screens' buttons are the buttons' own.
class InputRouter {
 public:
  explicit InputRouter(const Bindings* bindings) : bindings_(bindings) {}

  // Whether a stage takes the player's input now.
  static bool play_taken(const InputContext& c);

  Routed key_press(const InputContext& c, int key, uint32_t scan, Qt::KeyboardModifiers modifiers,
                   bool autorepeat);
  void key_release(int key, uint32_t scan);
  std::vector<Routed> pad_event(const InputContext& c, const PadEvent& e);
  Routed mouse_move(const InputContext& c, int x) const;
  Routed mouse_press(const InputContext& c, MouseButton button) const;
  // The held controls' inputs due before the next tick of play.
  std::vector<Input> before_tick(const InputContext& c, const Game& g);

  // Keys let go where the window cannot see it (the focus went elsewhere).
  void release_keys() { held_.release_all(HeldControls::Source::Keys); }
  // Everything let go (a pause, another program in front); the pads' held
  // directions come back with resync_pads().
  void release_all() { held_.release_all(); }
  // The pads' held buttons and sticks, held again as they are now.
  void resync_pads(const InputContext& c);
  const HeldControls& held() const { return held_; }

 private:
  struct PadHeld {
    uint32_t buttons = 0;  // a bit for each PadButton held
    int stick_x = 0;       // -1, 0 or 1 past the dead zone
    int stick_y = 0;
  };
  Routed pad_button(const InputContext& c, PadButton button);
  Routed action(const InputContext& c, Action a, HeldControls::Source from);

  const Bindings* bindings_;
  HeldControls held_;
  std::map<int32_t, PadHeld> pads_;  // by pad
};

}  // namespace quillot
