#pragma once
#include <string>
#include <vector>

namespace quillot {

// The General MIDI SoundFonts installed where distributions and players put
// them (.sf2 and .sf3 files, each once however many links name it), by file
// name: what the player may choose among besides the automatic choice.
// Only names are looked at; no file is opened.
std::vector<std::string> installed_sound_fonts();

// Whether a file's name says SoundFont (.sf2 or .sf3, in any case).
bool sound_font_name(const std::string& path);

}  // namespace quillot
