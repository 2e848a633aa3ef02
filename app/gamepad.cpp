#include "app/gamepad.h"

#include <SDL.h>

#include <algorithm>

#include "session/file_read.h"

namespace quillot {

namespace {

// The community's mapping file is some 600 KiB; anything far past it is not one.
constexpr size_t kMappingFileLimit = 4 * 1024 * 1024;

int32_t instance_of(SDL_GameController* c) {
  return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
}

}  // namespace

Gamepads::~Gamepads() {
  if (!started_) return;
  for (SDL_GameController* c : open_) SDL_GameControllerClose(c);
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepads::start(const std::string& mapping_file) {
  if (started_) return true;
  // The game has its own handlers for SIGINT and SIGTERM, and SDL's would
  // swallow them into an event nobody reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // With no SDL window, SDL cannot know whether the game has the focus; the
  // window decides that itself.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
  started_ = true;
  // A pad that only this file knows is announced as added once it is read.
  const FileRead read = read_regular_file(mapping_file, kMappingFileLimit);
  if (read.ok() && !read.truncated && !read.bytes.empty()) {
    if (SDL_RWops* rw = SDL_RWFromConstMem(read.bytes.data(), static_cast<int>(read.bytes.size())))
      SDL_GameControllerAddMappingsFromRW(rw, 1);
  }
  return true;
}

std::vector<PadEvent> Gamepads::poll() {
  std::vector<PadEvent> out;
  if (!started_) return out;
  SDL_Event e;
  while (SDL_PollEvent(&e) != 0) {
    switch (e.type) {
      case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which)) {
          // SDL announces a pad again when a mapping for it arrives.
          const int32_t id = instance_of(c);
          if (std::any_of(open_.begin(), open_.end(),
                          [id](SDL_GameController* o) { return instance_of(o) == id; })) {
            SDL_GameControllerClose(c);
            break;
          }
          open_.push_back(c);
          out.push_back({.kind = PadEvent::Kind::Added, .pad = id});
        }
        break;
      case SDL_CONTROLLERDEVICEREMOVED: {
        const int32_t id = e.cdevice.which;
        const auto it = std::find_if(open_.begin(), open_.end(),
                                     [id](SDL_GameController* c) { return instance_of(c) == id; });
        if (it == open_.end()) break;
        SDL_GameControllerClose(*it);
        open_.erase(it);
        out.push_back({.kind = PadEvent::Kind::Removed, .pad = id});
        break;
      }
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        if (e.cbutton.button < kPadButtonCount) {
          out.push_back({.kind = PadEvent::Kind::Button,
                         .pad = e.cbutton.which,
                         .button = static_cast<PadButton>(e.cbutton.button),
                         .down = e.type == SDL_CONTROLLERBUTTONDOWN});
        }
        break;
      case SDL_CONTROLLERAXISMOTION:
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
          out.push_back({.kind = PadEvent::Kind::Stick,
                         .pad = e.caxis.which,
                         .vertical = e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY,
                         .value = e.caxis.value});
        }
        break;
      default:
        break;
    }
  }
  return out;
}

}  // namespace quillot
