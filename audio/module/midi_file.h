#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillot::audio {

// A preset as the synth finds it: the drum kits lie in bank 128.
struct Preset {
  int bank = 0;
  int program = 0;
  bool operator==(const Preset&) const = default;
};
inline constexpr int kDrumBank = 128;
inline constexpr int kDrumChannel = 9;

// What a Standard MIDI File says about itself, once every chunk and event has
// been walked. The player is only handed files that pass this walk: the files
// in dat/ can be replaced by anyone, and a malformed one must mean silence.
struct MidiInfo {
  int format = 0;
  int tracks = 0;
  int division = 0;  // ticks per quarter note
  // The tick at which the last track ends (its End of Track, or its last event).
  int64_t end_tick = 0;
  // Every preset the file has the synth select, in the order met.
  std::vector<Preset> presets;
  // The channels that sound a note before any program change of their own:
  // they play their first preset (piano, or the standard kit on channel 10).
  uint16_t default_channels = 0;
};

std::optional<MidiInfo> inspect_midi(std::span<const uint8_t> bytes);

// A track read from dat/, ready for the player.
struct Track {
  std::string name;
  std::vector<uint8_t> bytes;
  MidiInfo info;
};

// Larger than any background track needs; a bigger file is not music for us.
inline constexpr std::size_t kMaxTrackBytes = 4u << 20;

// Reads dat_dir/name. Refuses (nullopt) a name that could leave the folder,
// anything that is not a regular file, a file over kMaxTrackBytes, and a file
// that is not a playable MIDI file of non-zero length.
std::optional<Track> load_track(const std::string& dat_dir, const std::string& name);

}  // namespace quillot::audio
