#include "game/checksum.h"

#include <string_view>

namespace quillot {

namespace {

// FNV-1a over the values, each taken as its four little-endian bytes, so the
// result is the same on every machine. A zero byte only multiplies the hash
// by the prime, so a run of them (the empty slots of the tables, most of the
// state) is one multiplication by a power of it: the same value, far sooner.
class Fnv {
 public:
  void add(int32_t v) {
    if (v == 0) {
      zero_bytes_ += 4;
      return;
    }
    flush();
    auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
      hash_ = (hash_ ^ (u & 0xFF)) * kPrime;
      u >>= 8;
    }
  }
  void add(std::string_view s) {
    add(static_cast<int32_t>(s.size()));
    flush();
    for (unsigned char c : s) hash_ = (hash_ ^ c) * kPrime;
  }
  uint64_t value() {
    flush();
    return hash_;
  }

 private:
  static constexpr uint64_t kPrime = 0x100000001B3ull;
  void flush() {
    uint64_t power = 1, base = kPrime;
    for (uint64_t n = zero_bytes_; n != 0; n >>= 1) {
      if ((n & 1) != 0) power *= base;
      base *= base;
    }
    hash_ *= power;
    zero_bytes_ = 0;
  }
  uint64_t hash_ = 0xCBF29CE484222325ull;
  uint64_t zero_bytes_ = 0;
};

}  // namespace

uint64_t checksum(const Game& g) {
  Fnv f;
  f.add(static_cast<int32_t>(g.random.seed));
  for (int32_t v : profile_values(g.profile)) f.add(v);
  for (int32_t v : {g.player_x, g.player_y, g.target_x, g.player_vx, g.player_state, g.steer_enabled, g.frame_no})
    f.add(v);
  for (const EnemyRec& e : g.enemies)
    for (int32_t v : {e.x, e.y, e.vy, e.size, e.vx, e.hp, e.kind, e.reward}) f.add(v);
  for (const ShotRec& s : g.shots)
    for (int32_t v : {s.x, s.y, s.state, s.vx}) f.add(v);
  for (const BulletRec& b : g.bullets)
    for (int32_t v : {b.x, b.y, b.alive, b.vx, b.vy, b.radius, b.color}) f.add(v);
  for (const CoinRec& c : g.coins)
    for (int32_t v : {c.x, c.y, c.value, c.vy, c.state}) f.add(v);
  for (const EffectRec& e : g.effects)
    for (int32_t v : {e.x, e.y, e.phase, e.points}) f.add(v);
  for (int32_t v : {g.enemy_cursor, g.shot_cursor, g.bullet_cursor, g.coin_cursor, g.effect_cursor}) f.add(v);
  for (int32_t v : g.roster) f.add(v);
  for (int32_t v : {g.stage_time, g.combo, g.combo_timer, g.retry_count, g.msg_phase, g.last_score}) f.add(v);
  f.add(g.msg_text);
  return f.value();
}

}  // namespace quillot
