#include "audio/module/output.h"

#include <dlfcn.h>
#include <fluidsynth.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace quillot::audio {
namespace {

void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}
void quiet_glib(const char*, int, const char*, void*) {}

// Above this a sample is heard: -60 dBFS.
constexpr float kAudible = 0.001F;

}  // namespace

int Output::pull(void* data, int frames, int, float*[], int outputs, float* out[]) {
  // The driver hands over zeroed buffers; the engine adds its music to them.
  if (outputs < 2) return FLUID_OK;
  auto* self = static_cast<Output*>(data);
  self->pulling_.store(true);
  if (self->quiet_.load()) {
    self->pulling_.store(false);
    return FLUID_OK;
  }
  self->engine_.render(frames, out[0], out[1]);
  self->pulling_.store(false);
  if (self->first_sound_ns_.load(std::memory_order_relaxed) == 0) {
    for (int i = 0; i < frames; ++i) {
      if (std::abs(out[0][i]) > kAudible || std::abs(out[1][i]) > kAudible) {
        self->first_sound_ns_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count());
        break;
      }
    }
  }
  return FLUID_OK;
}

void Output::stop_pulling() {
  // Either the device's thread sees quiet_ before it renders, or this sees it
  // rendering and waits the block out.
  quiet_.store(true);
  while (pulling_.load()) std::this_thread::yield();
}

void silence_library_logs() {
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
    fluid_set_log_function(level, nullptr, nullptr);
  }
  // ALSA prints through its own handler; it is loaded with FluidSynth, so it is
  // looked up rather than linked, and a build without ALSA simply skips this.
  // Asked of ALSA's own handle: loaded with this module, privately, it is
  // not among the program's global symbols.
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
  void* symbol = dlsym(alsa != nullptr ? alsa : RTLD_DEFAULT, "snd_lib_error_set_handler");
  if (symbol != nullptr) reinterpret_cast<SetHandler>(symbol)(&quiet_alsa);
  if (alsa != nullptr) dlclose(alsa);  // drops the count RTLD_NOLOAD added
  // A file FluidSynth's own loader refuses is handed on to libinstpatch,
  // which asserts its way out through GLib, without a log domain. GLib comes
  // with FluidSynth and is looked up the same way.
  using GLibHandler = void (*)(const char*, int, const char*, void*);
  using SetGLibHandler = unsigned (*)(const char*, int, GLibHandler, void*);
  constexpr int kCriticalWarningMessage = 1 << 3 | 1 << 4 | 1 << 5;
  void* glib = dlopen("libglib-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
  if (glib != nullptr) {
    if (void* set = dlsym(glib, "g_log_set_handler")) {
      reinterpret_cast<SetGLibHandler>(set)(nullptr, kCriticalWarningMessage, &quiet_glib, nullptr);
    }
    dlclose(glib);
  }
}

Output::Output(Engine& engine, const std::vector<std::string>& drivers) : engine_(engine) {
  fluid_settings_t* settings = engine.settings();
  if (settings == nullptr) return;
  for (const auto& name : drivers) {
    if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
    const bool alsa = name == "alsa";
    fluid_settings_setint(settings, "audio.period-size", alsa ? kAlsaPeriodFrames : kPeriodFrames);
    fluid_settings_setint(settings, "audio.periods", alsa ? kAlsaPeriods : 2);
    driver_ = new_fluid_audio_driver2(settings, &Output::pull, this);
    if (driver_ != nullptr) {
      name_ = name;
      return;
    }
  }
}

Output::~Output() {
  if (driver_ != nullptr) delete_fluid_audio_driver(driver_);
}

}  // namespace quillot::audio
