#pragma once
#include <string>
#include <utility>
#include <vector>

namespace quillot::audio {

// The General MIDI SoundFonts to try, best first: the system's chosen default,
// then the small font that loads in a blink, then the large one, then the
// compressed variants.
std::vector<std::string> sound_font_candidates();

// What a look at a candidate's header found.
struct SoundFontCheck {
  bool missing = false;  // nothing by that name: a font that is not installed
  std::string fault;     // why it cannot serve, in a few words to follow its name; empty when it can
  bool usable() const { return fault.empty(); }
};

// Whether the file is a regular file with a SoundFont's header (RIFF, sfbk)
// and as long as that header says. Only the header is read, without waiting
// on a FIFO; what lies inside is FluidSynth's to judge. A file that is not a
// SoundFont never reaches FluidSynth, whose other loaders would print their
// complaints about it on the terminal.
SoundFontCheck check_sound_font(const std::string& path);

// Tells the player, one line each on stderr, of every candidate that was
// there but could not be used (`faults`: its path and why), or, when none
// was there at all, that no font is installed; `loaded` is the font the
// music plays through, empty for none. A missing candidate beside a usable
// one is no news: the list names every font the game knows of.
void report_sound_fonts(const std::vector<std::pair<std::string, std::string>>& faults,
                        const std::vector<std::string>& missing, const std::string& loaded);

}  // namespace quillot::audio
