#include "audio/output.h"

#include <dlfcn.h>
#include <fluidsynth.h>

namespace quillot::audio {
namespace {

void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

int pull(void* data, int frames, int, float*[], int outputs, float* out[]) {
  // The driver hands over zeroed buffers; the engine adds its music to them.
  if (outputs >= 2) static_cast<Engine*>(data)->render(frames, out[0], out[1]);
  return FLUID_OK;
}

}  // namespace

void silence_library_logs() {
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
    fluid_set_log_function(level, nullptr, nullptr);
  }
  // ALSA prints through its own handler; it is loaded with FluidSynth, so it is
  // looked up rather than linked, and a build without ALSA simply skips this.
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  if (void* symbol = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")) {
    reinterpret_cast<SetHandler>(symbol)(&quiet_alsa);
  }
}

Output::Output(Engine& engine, const std::vector<std::string>& drivers) {
  fluid_settings_t* settings = engine.settings();
  if (settings == nullptr) return;
  fluid_settings_setint(settings, "audio.period-size", kPeriodFrames);
  fluid_settings_setint(settings, "audio.periods", kPeriods);
  for (const auto& name : drivers) {
    if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
    driver_ = new_fluid_audio_driver2(settings, &pull, &engine);
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
