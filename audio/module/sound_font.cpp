#include "audio/module/sound_font.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace quillot::audio {

std::vector<std::string> sound_font_candidates() {
  // Debian keeps the compressed fonts in a folder of their own.
  const std::string sf2 = "/usr/share/sounds/sf2/";
  const std::string sf3 = "/usr/share/sounds/sf3/";
  return {sf2 + "default-GM.sf2", sf2 + "TimGM6mb.sf2",       sf2 + "FluidR3_GM.sf2",
          sf3 + "default-GM.sf3", sf3 + "FluidR3Mono_GM.sf3", sf3 + "MuseScore_General.sf3"};
}

bool readable(const std::string& path) {
  std::error_code error;
  // Opening a pipe would wait for a writer; only a regular file is a candidate.
  if (!std::filesystem::is_regular_file(path, error) || error) return false;
  std::ifstream file(path, std::ios::binary);
  char first = 0;
  return file.read(&first, 1).good();
}

}  // namespace quillot::audio
