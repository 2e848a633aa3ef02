#include "app/sound_effects.h"

#include <vector>

namespace quillot {

int sound_voices(Sound sound) {
  switch (sound) {
    case Sound::Shot:
      return 3;
    case Sound::EnemyHit:
    case Sound::EnemyDown:
    case Sound::Coin:
      return 4;
    case Sound::BirdHit:
      return 2;
    default:
      return 1;
  }
}

std::shared_ptr<audio::Effects> load_sound_effects(const std::string& dat_dir) {
  std::vector<audio::EffectSample> kinds(kSoundCount);
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const std::string name(kSoundNames[i]);
    if (auto frames = audio::load_wav(dat_dir + "/sfx/" + name + ".wav"))
      kinds[i].frames = std::move(*frames);
    kinds[i].voices = sound_voices(static_cast<Sound>(i));
  }
  return std::make_shared<audio::Effects>(std::move(kinds));
}

}  // namespace quillot
