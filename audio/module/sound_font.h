#pragma once
#include <string>
#include <vector>

namespace quillot::audio {

// The General MIDI SoundFonts to try, best first: the system's chosen default,
// then the small font that loads in a blink, then the large one, then the
// compressed variants.
std::vector<std::string> sound_font_candidates();

// Whether the file can be opened for reading; a SoundFont that cannot is skipped.
bool readable(const std::string& path);

}  // namespace quillot::audio
