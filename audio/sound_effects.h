#pragma once
#include <vector>

#include "audio/music_control.h"
#include "game/sound.h"

namespace quillot {

// The game's effects as the music module reads them, indexed by Sound: each
// from dat/sfx/NAME.wav.
std::vector<audio::EffectFile> sound_effect_files();

}  // namespace quillot
