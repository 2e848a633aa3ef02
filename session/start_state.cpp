#include "session/start_state.h"

#include <charconv>
#include <cstdint>

namespace quillot {

namespace {

// Every value the checksum covers besides the seed and the profile, in its
// order, then the two controls; the message text comes last, in hex.
template <typename G, typename F>
void each_value(G& g, F&& f) {
  for (auto* v :
       {&g.player_x, &g.player_y, &g.target_x, &g.player_vx, &g.player_state, &g.steer_enabled, &g.frame_no})
    f(*v);
  for (auto& e : g.enemies)
    for (auto* v : {&e.x, &e.y, &e.vy, &e.size, &e.vx, &e.hp, &e.kind, &e.reward}) f(*v);
  for (auto& s : g.shots)
    for (auto* v : {&s.x, &s.y, &s.state, &s.vx}) f(*v);
  for (auto& b : g.bullets)
    for (auto* v : {&b.x, &b.y, &b.alive, &b.vx, &b.vy, &b.radius, &b.color}) f(*v);
  for (auto& c : g.coins)
    for (auto* v : {&c.x, &c.y, &c.value, &c.vy, &c.state}) f(*v);
  for (auto& e : g.effects)
    for (auto* v : {&e.x, &e.y, &e.phase, &e.points}) f(*v);
  for (auto* v : {&g.enemy_cursor, &g.shot_cursor, &g.bullet_cursor, &g.coin_cursor, &g.effect_cursor}) f(*v);
  for (auto& v : g.roster) f(v);
  for (auto* v : {&g.stage_time, &g.combo, &g.combo_timer, &g.retry_count, &g.msg_phase, &g.last_score})
    f(*v);
}

constexpr char kDigits[] = "0123456789abcdef";

}  // namespace

std::string format_state_line(const Game& g, const ScreenState& shown) {
  std::string out = "state";
  int64_t zeros = 0;
  auto flush = [&] {
    if (zeros == 1) out += " 0";
    if (zeros > 1) out += " *" + std::to_string(zeros);
    zeros = 0;
  };
  auto add = [&](int32_t v) {
    if (v == 0) {
      ++zeros;
      return;
    }
    flush();
    out += " " + std::to_string(v);
  };
  each_value(g, add);
  add(shown.choice_shown ? 1 : 0);
  add(shown.save_enabled ? 1 : 0);
  flush();
  if (!g.msg_text.empty()) {
    out += " m";
    for (unsigned char c : g.msg_text) {
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    }
  }
  return out + "\n";
}

bool parse_state_words(const std::vector<std::string_view>& words, StartState& out) {
  std::vector<int32_t> values;
  std::string msg;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string_view w = words[i];
    if (w.front() == 'm') {
      if (i + 1 != words.size() || w.size() % 2 != 1) return false;
      for (size_t k = 1; k < w.size(); k += 2) {
        unsigned v = 0;
        const auto [p, ec] = std::from_chars(w.data() + k, w.data() + k + 2, v, 16);
        if (ec != std::errc{} || p != w.data() + k + 2) return false;
        msg += static_cast<char>(v);
      }
      continue;
    }
    const bool run = w.front() == '*';
    const char* first = w.data() + (run ? 1 : 0);
    int64_t v = 0;
    const auto [p, ec] = std::from_chars(first, w.data() + w.size(), v);
    if (ec != std::errc{} || p != w.data() + w.size() || v < INT32_MIN || v > INT32_MAX) return false;
    if (run) {
      // A run longer than the whole state is no state line (and must not fill the memory).
      if (v < 1 || v > 100000 || values.size() + static_cast<size_t>(v) > 100000) return false;
      values.insert(values.end(), static_cast<size_t>(v), 0);
    } else {
      values.push_back(static_cast<int32_t>(v));
    }
  }
  size_t count = 0;
  each_value(out.game, [&](int32_t&) { ++count; });
  if (values.size() != count + 2) return false;
  size_t i = 0;
  each_value(out.game, [&](int32_t& v) { v = values[i++]; });
  if (values[i] < 0 || values[i] > 1 || values[i + 1] < 0 || values[i + 1] > 1) return false;
  out.choice_shown = values[i] == 1;
  out.save_enabled = values[i + 1] == 1;
  out.game.msg_text = std::move(msg);
  return true;
}

}  // namespace quillot
