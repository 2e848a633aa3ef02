#pragma once
#include <memory>
#include <string>

#include "audio/effects.h"
#include "game/sound.h"

namespace quillot {

// How many of each sound may ring at once. The busy ones (shots, hits, coins)
// get a few, so a flood of them stays a texture instead of a wall; a new one
// cuts the oldest.
int sound_voices(Sound sound);

// The game's effects, read from dat_dir/sfx/NAME.wav, indexed by Sound. A
// missing or unreadable file leaves that one sound silent.
std::shared_ptr<audio::Effects> load_sound_effects(const std::string& dat_dir);

}  // namespace quillot
