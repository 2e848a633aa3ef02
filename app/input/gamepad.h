#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/input/bindings.h"

struct _SDL_GameController;

namespace quillot {

// What a pad did, in the game-controller layout: a pad came or went, a
// button went down or up, the left stick moved.
struct PadEvent {
  enum class Kind : uint8_t { Added, Removed, Button, Stick };
  Kind kind = Kind::Added;
  int32_t pad = 0;  // which pad, as long as it stays plugged in
  PadButton button = PadButton::South;
  bool down = false;
  bool vertical = false;  // Stick: the up-down axis
  int value = 0;          // Stick: -32768 (left, up) .. 32767
};

// Game controllers through SDL's game-controller layer and nothing else of
// SDL: no window, no video, no sound. It is started late, after the window is
// seen (SDL maps about fifty libraries on the way), and polled: no thread.
class Gamepads {
 public:
  Gamepads() = default;
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  // Starts SDL's game-controller layer with its own mappings, those of
  // SDL_GAMECONTROLLERCONFIG and those of `mapping_file` when it is a
  // readable regular file. False when SDL cannot start: the game then plays
  // on without pads.
  bool start(const std::string& mapping_file);
  // What happened since the last call, in order; pads plugged in are opened
  // and pads pulled out closed on the way.
  std::vector<PadEvent> poll();
  size_t count() const { return open_.size(); }

 private:
  bool started_ = false;
  std::vector<_SDL_GameController*> open_;
};

}  // namespace quillot
