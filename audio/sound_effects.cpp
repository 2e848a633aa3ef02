#include "audio/sound_effects.h"

#include <vector>

namespace quillot {

namespace {

// How many of each sound may ring at once. The busy ones (shots, hits, coins)
// get a few, so a flood of them stays a texture instead of a wall; a new one
// cuts the oldest.
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

}  // namespace

std::vector<audio::EffectFile> sound_effect_files() {
  std::vector<audio::EffectFile> files(kSoundCount);
  for (std::size_t i = 0; i < files.size(); ++i)
    files[i] = {std::string(kSoundNames[i]), sound_voices(static_cast<Sound>(i))};
  return files;
}

}  // namespace quillot
