#include "app/input/gamepad.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <type_traits>

#include "files/file_read.h"

namespace quillot {

namespace {

// SDL is opened when the pads start, not linked: it brings some fifty
// libraries, and a player should not wait for them before the title shows.
struct Sdl {
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_RWFromConstMem) RWFromConstMem;
  decltype(&SDL_GameControllerAddMappingsFromRW) AddMappingsFromRW;
  decltype(&SDL_PollEvent) PollEvent;
  decltype(&SDL_GameControllerOpen) Open;
  decltype(&SDL_GameControllerClose) Close;
  decltype(&SDL_GameControllerGetJoystick) GetJoystick;
  decltype(&SDL_JoystickInstanceID) InstanceID;
};

// Null when the library or one of its functions is missing.
const Sdl* sdl() {
  static const Sdl* const loaded = []() -> const Sdl* {
    void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return nullptr;
    static Sdl s;
    bool ok = true;
    auto get = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
      ok = ok && fn != nullptr;
    };
    get(s.SetHint, "SDL_SetHint");
    get(s.InitSubSystem, "SDL_InitSubSystem");
    get(s.QuitSubSystem, "SDL_QuitSubSystem");
    get(s.RWFromConstMem, "SDL_RWFromConstMem");
    get(s.AddMappingsFromRW, "SDL_GameControllerAddMappingsFromRW");
    get(s.PollEvent, "SDL_PollEvent");
    get(s.Open, "SDL_GameControllerOpen");
    get(s.Close, "SDL_GameControllerClose");
    get(s.GetJoystick, "SDL_GameControllerGetJoystick");
    get(s.InstanceID, "SDL_JoystickInstanceID");
    return ok ? &s : nullptr;
  }();
  return loaded;
}

// The community's mapping file is some 600 KiB; anything far past it is not one.
constexpr size_t kMappingFileLimit = 4 * 1024 * 1024;

int32_t instance_of(SDL_GameController* c) { return sdl()->InstanceID(sdl()->GetJoystick(c)); }

}  // namespace

Gamepads::~Gamepads() {
  if (!started_) return;
  for (SDL_GameController* c : open_) sdl()->Close(c);
  sdl()->QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepads::start(const std::string& mapping_file) {
  if (started_) return true;
  const Sdl* api = sdl();
  if (api == nullptr) return false;
  // The game has its own handlers for SIGINT and SIGTERM, and SDL's would
  // swallow them into an event nobody reads.
  api->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // With no SDL window, SDL cannot know whether the game has the focus; the
  // window decides that itself.
  api->SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // The joysticks first, then the player's mappings, then the controller
  // layer: it announces the pads plugged in by the mappings it has then.
  if (api->InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
  const FileRead read = read_regular_file(mapping_file, kMappingFileLimit);
  if (read.ok() && !read.truncated && !read.bytes.empty()) {
    if (SDL_RWops* rw = api->RWFromConstMem(read.bytes.data(), static_cast<int>(read.bytes.size())))
      api->AddMappingsFromRW(rw, 1);
  }
  const bool ok = api->InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  // The controller layer holds the joysticks as long as it runs.
  api->QuitSubSystem(SDL_INIT_JOYSTICK);
  started_ = ok;
  return ok;
}

std::vector<PadEvent> Gamepads::poll() {
  std::vector<PadEvent> out;
  if (!started_) return out;
  SDL_Event e;
  while (sdl()->PollEvent(&e) != 0) {
    switch (e.type) {
      case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* c = sdl()->Open(e.cdevice.which)) {
          // SDL announces a pad again when a mapping for it arrives.
          const int32_t id = instance_of(c);
          if (std::any_of(open_.begin(), open_.end(),
                          [id](SDL_GameController* o) { return instance_of(o) == id; })) {
            sdl()->Close(c);
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
        sdl()->Close(*it);
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
