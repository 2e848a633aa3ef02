#include "session/input.h"

#include <array>
#include <charconv>

#include "session/practice.h"
#include "session/shop_actions.h"

namespace quillot {

namespace {

constexpr std::array<std::string_view, 3> kButtonNames = {"left", "right", "other"};
constexpr std::array<std::string_view, 18> kControlNames = {
    "Button1", "Button4", "Button5", "Button6", "Button8", "Button9", "Button10", "a1",  "a2",
    "a3",      "a4",      "a5",      "a6",      "a7",      "a8",      "a9",       "a10", "practice"};

}  // namespace

std::string format_input(const Input& in) {
  switch (in.kind) {
    case Input::Kind::Move:
      return "move " + std::to_string(in.x);
    case Input::Kind::Down:
      return "down " + std::string(kButtonNames[static_cast<size_t>(in.button)]);
    case Input::Kind::Click:
      break;
  }
  return "click " + std::string(kControlNames[static_cast<size_t>(in.control)]);
}

std::optional<Input> parse_input(std::string_view text) {
  // Two words, each run of spaces a separator, as every recording was read.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const size_t gap = text.find(' ');
  if (gap == std::string_view::npos) return std::nullopt;
  const std::string_view verb = text.substr(0, gap);
  std::string_view arg = text.substr(gap);
  while (!arg.empty() && arg.front() == ' ') arg.remove_prefix(1);
  if (arg.find(' ') != std::string_view::npos) return std::nullopt;
  if (verb == "move") {
    int32_t x = 0;
    const auto [p, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), x);
    if (ec != std::errc{} || p != arg.data() + arg.size()) return std::nullopt;
    return Input::move(x);
  }
  if (verb == "down") {
    for (size_t i = 0; i < kButtonNames.size(); ++i)
      if (arg == kButtonNames[i]) return Input::down(static_cast<MouseButton>(i));
    return std::nullopt;
  }
  if (verb == "click") {
    for (size_t i = 0; i < kControlNames.size(); ++i)
      if (arg == kControlNames[i]) return Input::click(static_cast<Control>(i));
  }
  return std::nullopt;
}

bool input_possible(const Game& g, const ScreenState& s, const Input& in) {
  if (in.kind != Input::Kind::Click) return s.screen == Screen::None;
  const Control c = in.control;
  switch (s.screen) {
    case Screen::Title:
      return c == Control::Button1 || c == Control::Button4 || c == Control::Practice;
    case Screen::Shop:
      if (c == Control::Button5 || c == Control::Button6) return true;
      if (c == Control::a9) return s.save_enabled;
      if (const auto item = control_item(c)) return shop::enabled(*item, g.profile);
      return false;
    case Screen::Story:
      if (c == Control::Button8) return !s.choice_shown;
      return (c == Control::Button9 || c == Control::Button10) && s.choice_shown;
    case Screen::None:
      break;
  }
  return false;
}

void apply_input(Game& g, Shell& shell, const Input& in) {
  switch (in.kind) {
    case Input::Kind::Move:
      return cgMouseMove(g, in.x);
    case Input::Kind::Down:
      return cgMouseDown(g, in.button, shell.cg(), shell);
    case Input::Kind::Click:
      break;
  }
  switch (in.control) {
    case Control::Button1:
      return new_start(g, shell);
    case Control::Button4:
      return continue_game(g, shell);
    case Control::Button5:
      return next_from_shop(g, shell);
    case Control::Button6:
      return retry_from_shop(g, shell);
    // "はい" goes on to the next stage, as NEXT does where no question is asked.
    case Control::Button8:
    case Control::Button9:
      return story_next(g, shell);
    case Control::Button10:
      return story_no(g, shell);
    case Control::Practice:
      return start_practice(g, shell);
    default:
      return shop_click(g, shell, *control_item(in.control));
  }
}

}  // namespace quillot
