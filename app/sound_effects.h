#pragma once
#include <vector>

#include "audio/music_control.h"
#include "game/sound.h"

namespace quillot {

// How many of each sound may ring at once. The busy ones (shots, hits, coins)
// get a few, so a flood of them stays a texture instead of a wall; a new one
// cuts the oldest.
int sound_voices(Sound sound);

// The game's effects as the music module reads them, indexed by Sound: each
// from dat/sfx/NAME.wav.
std::vector<audio::EffectFile> sound_effect_files();

}  // namespace quillot
