#include "audio/module/sound_font.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "files/file_read.h"

namespace quillot::audio {

std::vector<std::string> sound_font_candidates() {
  // Debian keeps the compressed fonts in a folder of their own.
  const std::string sf2 = "/usr/share/sounds/sf2/";
  const std::string sf3 = "/usr/share/sounds/sf3/";
  return {sf2 + "default-GM.sf2", sf2 + "TimGM6mb.sf2",       sf2 + "FluidR3_GM.sf2",
          sf3 + "default-GM.sf3", sf3 + "FluidR3Mono_GM.sf3", sf3 + "MuseScore_General.sf3"};
}

SoundFontCheck check_sound_font(const std::string& path) {
  SoundFontCheck check;
  const RegularFile file(path);
  if (file.fd() < 0) {
    check.missing = file.error() == ENOENT;
    check.fault = file.why_not();
    return check;
  }
  const uint64_t size = file.size();
  if (size == 0) {
    check.fault = "is empty";
    return check;
  }
  // "RIFF", the length of what follows (little-endian), "sfbk"; compressed
  // fonts are RIFF sfbk files too.
  constexpr size_t kHeader = 12;
  const std::string head = file.read_at(0, kHeader);
  const bool riff = head.compare(0, 4, "RIFF") == 0;
  if (head.size() < kHeader && head.size() < size) {
    check.fault = "cannot be read";
  } else if (!riff || (head.size() == kHeader && head.compare(8, 4, "sfbk") != 0)) {
    check.fault = "is not a SoundFont (no RIFF sfbk header)";
  } else {
    uint64_t whole = kHeader;
    if (head.size() == kHeader) {
      whole = 8;
      for (int i = 0; i < 4; ++i) whole += uint64_t{static_cast<unsigned char>(head[4 + i])} << (8 * i);
    }
    if (size < whole) {
      check.fault = "is cut short (" + std::to_string(size) + " of its " + std::to_string(whole) + " bytes)";
    }
  }
  return check;
}

void report_sound_fonts(const std::vector<std::pair<std::string, std::string>>& faults,
                        const std::vector<std::string>& missing, const std::string& loaded) {
  const std::string then = loaded.empty() ? "the music is silent" : "the music plays through " + loaded;
  for (const auto& [path, why] : faults) {
    std::fprintf(stderr, "quillot: the SoundFont %s %s; %s\n", path.c_str(), why.c_str(), then.c_str());
  }
  if (!loaded.empty() || !faults.empty() || missing.empty()) return;
  if (missing.size() == 1) {
    std::fprintf(stderr, "quillot: the SoundFont %s is missing; %s\n", missing.front().c_str(), then.c_str());
    return;
  }
  std::string names;
  for (const auto& path : missing) names += (names.empty() ? "" : ", ") + path;
  std::fprintf(stderr, "quillot: no SoundFont is installed (none of %s is there); %s\n", names.c_str(), then.c_str());
}

}  // namespace quillot::audio
