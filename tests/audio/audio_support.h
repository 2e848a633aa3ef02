#pragma once
#include <QCoreApplication>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/module/sound_font.h"

namespace quillot::audio::testing {

inline std::filesystem::path source_root() {
  // The build names sources by absolute path, so this file knows where the checkout is.
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
}

// The queued end-of-track reports need an application object on this thread.
inline void ensure_qt_app() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "audio_tests";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv);  // lives as long as the test program
}

// The small General MIDI SoundFont made for the tests by
// tools/soundfont/make_test_soundfont.py: every figure measured through it is
// the same on every machine, whichever fonts the machine has, or none.
inline std::string test_sound_font() { return (source_root() / "tests" / "audio" / "test_gm.sf2").string(); }

// The first SoundFont the game itself would load; empty when the machine has none.
inline std::string system_sound_font() {
  for (const auto& path : sound_font_candidates()) {
    if (check_sound_font(path).usable()) return path;
  }
  return {};
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillot_audio_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  void write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream file(path_ / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::filesystem::path path_;
};

// A one-track file at 120 bpm and 480 ticks per quarter: a loud piano C major
// chord held for `ticks`, then End of Track.
inline std::vector<uint8_t> chord_midi(uint32_t ticks) {
  std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000 us
                                0x00, 0x90, 60, 120, 0x00, 0x90, 64, 120, 0x00, 0x90, 67, 120};
  auto delta = [&](uint32_t value) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(value & 0x7F)};
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    track.insert(track.end(), bytes.begin(), bytes.end());
  };
  delta(ticks);
  track.insert(track.end(), {0x80, 60, 0, 0x00, 0x80, 64, 0, 0x00, 0x80, 67, 0, 0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
                               'M', 'T', 'r', 'k'};
  const auto size = static_cast<uint32_t>(track.size());
  for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<uint8_t>(size >> shift));
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

struct Level {
  double rms = 0;
  double peak = 0;
  double db() const { return rms > 0 ? 20 * std::log10(rms) : -200; }
};

inline Level level_of(const std::vector<float>& left, const std::vector<float>& right) {
  Level level;
  double sum = 0;
  for (std::size_t i = 0; i < left.size(); ++i) {
    sum += double(left[i]) * left[i] + double(right[i]) * right[i];
    level.peak = std::max({level.peak, double(std::abs(left[i])), double(std::abs(right[i]))});
  }
  if (!left.empty()) level.rms = std::sqrt(sum / (2.0 * left.size()));
  return level;
}

}  // namespace quillot::audio::testing
