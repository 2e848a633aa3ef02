#include <dlfcn.h>

#include <cmath>

#include <QCoreApplication>
#include <QFileInfo>

#include "audio/music_port.h"
#include "audio/sound_effects.h"

namespace quillot {
namespace {

// The module by its absolute path, where the package puts it, or beside the
// program in a build tree. No search path is asked: nothing else may stand in.
QString music_module() {
  const QString bin = QCoreApplication::applicationDirPath();
  for (const QString& folder : {bin + "/" QUILLOT_MODULE_FROM_BIN, bin}) {
    const QFileInfo file(folder + "/" + audio::kMusicModule);
    if (file.isFile()) return file.canonicalFilePath();
  }
  return {};
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
  const QString path = module_.empty() ? music_module() : QString::fromStdString(module_);
  if (path.isEmpty()) return;
  // Local: its libraries' symbols stay out of the program's lookups. Lazy:
  // binding every symbol of its forty libraries at once costs 15 ms more.
  void* module = dlopen(path.toLocal8Bit().constData(), RTLD_LAZY | RTLD_LOCAL);
  if (module == nullptr) return;
  auto open = reinterpret_cast<audio::OpenMusic>(dlsym(module, audio::kOpenMusic));
  if (open == nullptr) return;
  music_.reset(open(dat_dir_, std::move(window_shown_), sound_effect_files()));
  if (!music_) return;
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
