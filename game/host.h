#pragma once
#include <cstdint>
#include <string>

#include "game/happening.h"
#include "game/sound.h"
#include "game/state.h"

namespace quillot {

// What the simulation asks of the window: the things it cannot do itself.
class Host {
 public:
  virtual ~Host() = default;
  // Writes the profile to the save file; false when the save failed (the
  // window has already shown the error).
  virtual bool save_profile(const Profile& profile) = 0;
  virtual void play_music(const std::string& name) = 0;
  // The clear phase has ended: show the shop with SAVE enabled.
  virtual void show_shop() = 0;
  // The game-over phase has ended: show the title screen.
  virtual void show_title() = 0;
  virtual void stop_timer() = 0;
  // The hidden label that receives the number of enemies left.
  virtual void set_enemy_count(int32_t count) = 0;
  // Copy the back buffer onto the visible playfield.
  virtual void present() = 0;
  // Repaint the visible playfield at once (the bomb's flash frames).
  virtual void repaint_now() = 0;
  // Something was heard to happen. Output only: the game goes on the same
  // whether or not anything plays, so replays and tests may ignore it.
  virtual void sound(Sound) {}
  // Something worth counting happened (see Happening for `value`). Output
  // only, like a sound: statistics listen, the game never reads it back.
  virtual void report(Happening, int32_t /*value*/) {}
};

// A host that does nothing and whose saves always succeed.
class NullHost : public Host {
 public:
  bool save_profile(const Profile&) override { return true; }
  void play_music(const std::string&) override {}
  void show_shop() override {}
  void show_title() override {}
  void stop_timer() override {}
  void set_enemy_count(int32_t) override {}
  void present() override {}
  void repaint_now() override {}
};

// For the tick's steps run on their own (tests, benchmarks): nobody listens.
inline Host& no_host() {
  static NullHost host;
  return host;
}

}  // namespace quillot
