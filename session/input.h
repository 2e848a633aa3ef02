#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "game/bird.h"
#include "game/state.h"
#include "session/flow.h"
#include "shop/shop.h"

namespace quillot {

// The controls a player can press, by the names the recordings give them.
enum class Control : uint8_t {
  Button1,   // title: NEW START
  Button4,   // title: COUNTINUE
  Button5,   // shop: NEXT
  Button6,   // shop: RETRY
  Button8,   // story: NEXT
  Button9,   // story: "はい"
  Button10,  // story: "いいえ"
  a1,
  a2,
  a3,
  a4,
  a5,
  a6,
  a7,
  a8,
  a9,
  a10,  // the shop's items
  // Practice of one stage: given once, at a practice recording's start, on
  // the title screen it begins from.
  Practice,
};

constexpr Control item_control(shop::Item item) {
  return static_cast<Control>(static_cast<int>(Control::a1) + static_cast<int>(item));
}
constexpr std::optional<shop::Item> control_item(Control c) {
  if (c < Control::a1 || c > Control::a10) return std::nullopt;
  return static_cast<shop::Item>(static_cast<int>(c) - static_cast<int>(Control::a1));
}

// One input the game takes: the mouse moved over the playfield to x, a mouse
// button went down over it, or a control was pressed. The mouse, the keys,
// the menus and the replays all give the game these and nothing else.
struct Input {
  enum class Kind : uint8_t { Move, Down, Click };
  Kind kind = Kind::Move;
  int32_t x = 0;                           // Move
  MouseButton button = MouseButton::Left;  // Down
  Control control = Control::Button1;      // Click

  static constexpr Input move(int32_t to) { return {Kind::Move, to, MouseButton::Left, Control::Button1}; }
  static constexpr Input down(MouseButton b) { return {Kind::Down, 0, b, Control::Button1}; }
  static constexpr Input click(Control c) { return {Kind::Click, 0, MouseButton::Left, c}; }
  bool operator==(const Input&) const = default;
};

// The recording's text of an input: "move 120", "down left", "click a7".
std::string format_input(const Input& in);
std::optional<Input> parse_input(std::string_view text);

// What the window shows, as far as it decides which inputs a player can give.
struct ScreenState {
  Screen screen = Screen::Title;
  bool choice_shown = true;   // `select_box`, lying over the story's NEXT
  bool save_enabled = false;  // SAVE (a9) is enabled on its own, once per visit
};

// Whether a player could give `in` now: the playfield takes the mouse only
// while no screen covers it, and a control must be on the screen shown,
// visible and enabled. The window refuses any other input, and a replay that
// meets one has left the recorded game.
bool input_possible(const Game& g, const ScreenState& s, const Input& in);

// Applies one input through the game's handlers; the window and every replay
// come here, so what is recorded is what was played.
void apply_input(Game& g, Shell& shell, const Input& in);

}  // namespace quillot
