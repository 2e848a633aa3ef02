#include <dlfcn.h>

#include <cmath>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "audio/module_file.h"
#include "audio/music_port.h"
#include "audio/sound_effects.h"
#include "files/file_read.h"

namespace quillot {
namespace {

// The module by its absolute path, where the package puts it, or beside the
// program in a build tree. No search path is asked: nothing else may stand in.
// The first place where anything by its name lies is taken, so that a broken
// module there is reported rather than passed over. Empty when neither has one.
std::string music_module() {
  const QString bin = QCoreApplication::applicationDirPath();
  for (const QString& folder : {QDir::cleanPath(bin + "/" QUILLOT_MODULE_FROM_BIN), bin}) {
    const QFileInfo file(folder + "/" + audio::kMusicModule);
    if (file.exists() || file.isSymLink()) return file.absoluteFilePath().toStdString();
  }
  return {};
}

// Music is never essential: whatever keeps the module from playing is told in
// one line, and the game goes on in silence.
void say_no_module(const std::string& module, const std::string& why) {
  std::fprintf(stderr, "quillot: the music module %s %s; the game plays without sound\n", module.c_str(),
               why.c_str());
}

// The loader's last word, without the descriptor's name it begins with.
std::string loader_error(const std::string& opened) {
  const char* error = dlerror();
  std::string text = error != nullptr ? error : "no reason given";
  if (text.rfind(opened + ": ", 0) == 0) text.erase(0, opened.size() + 2);
  return text;
}

}  // namespace

SynthMusic::SynthMusic(std::string dat_dir, std::function<bool()> window_shown, std::string module)
    : dat_dir_(std::move(dat_dir)), module_(std::move(module)), window_shown_(std::move(window_shown)) {}

// The module stays loaded to the end: its threads and Qt objects are gone
// with the music, but nothing is gained by unloading it.
SynthMusic::~SynthMusic() = default;

void SynthMusic::start() {
  if (started_) return;
  started_ = true;
  const std::string path = module_.empty() ? music_module() : module_;
  if (path.empty()) {
    const QString bin = QCoreApplication::applicationDirPath();
    say_no_module(audio::kMusicModule, "is missing (neither in " +
                                           QDir::cleanPath(bin + "/" QUILLOT_MODULE_FROM_BIN).toStdString() +
                                           " nor beside the program in " + bin.toStdString() + ")");
    return;
  }
  // The file is checked first, and the loader then opens that very file
  // through its descriptor: nothing can be put in its place in between.
  const RegularFile file(path);
  const std::string fault = file.fd() < 0 ? file.why_not() : audio::module_fault(file);
  if (!fault.empty()) return say_no_module(path, fault);
  const std::string opened = "/proc/self/fd/" + std::to_string(file.fd());
  // Local: its libraries' symbols stay out of the program's lookups. Lazy
  // for its forty libraries, whose symbols bound all at once cost 1 ms more;
  // the module's own imports are bound here all the same (it is linked with
  // -z now), so a FluidSynth older than the build, lacking a function the
  // module calls, is refused now and not at that function's first call.
  void* module = dlopen(opened.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (module == nullptr) return say_no_module(path, "could not be loaded (" + loader_error(opened) + ")");
  auto open = reinterpret_cast<audio::OpenMusic>(dlsym(module, audio::kOpenMusic));
  if (open == nullptr) {
    return say_no_module(path, std::string("has no entry point ") + audio::kOpenMusic + " (" +
                                   loader_error(opened) + ")");
  }
  music_.reset(open(dat_dir_, std::move(window_shown_), sound_effect_files(), sound_font_));
  if (!music_) return say_no_module(path, "could not set up the music");
  music_->set_level(heard_level());
  music_->set_effects_level(effects_level_);
  if (!pending_.empty()) music_->play_music(pending_);
  pending_.clear();
}

void SynthMusic::play_music(const std::string& name) {
  if (music_) {
    music_->play_music(name);
  } else if (!started_ && !name.empty()) {
    pending_ = name;
  }
}

void SynthMusic::set_volume(int percent, bool muted) {
  level_ = audio::volume_level(percent, muted);
  if (music_) music_->set_level(heard_level());
}

void SynthMusic::set_sound_font(const std::string& path) {
  if (path == sound_font_) return;
  sound_font_ = path;
  if (music_) music_->set_sound_font(path);
}

void SynthMusic::set_ducked(bool ducked) {
  ducked_ = ducked;
  if (music_) music_->set_level(heard_level());
}

float SynthMusic::heard_level() const {
  return ducked_ ? level_ * static_cast<float>(std::pow(10.0, -audio::kPauseDuckDb / 20.0)) : level_;
}

// Effects before the module is open are not kept: they belong to a moment
// that has passed.
void SynthMusic::play_effect(Sound sound) {
  if (music_) music_->play_effect(static_cast<int>(sound));
}

void SynthMusic::set_effects_volume(int percent, bool muted) {
  effects_level_ = audio::volume_level(percent, muted);
  if (music_) music_->set_effects_level(effects_level_);
}

audio::MusicStatus SynthMusic::status() const { return music_ ? music_->status() : audio::MusicStatus{}; }

}  // namespace quillot
