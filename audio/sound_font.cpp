#include "audio/sound_font.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace quillot::audio {

std::vector<std::string> sound_font_candidates() {
  const std::string folder = "/usr/share/sounds/sf2/";
  return {folder + "default-GM.sf2", folder + "TimGM6mb.sf2", folder + "FluidR3_GM.sf2",
          folder + "default-GM.sf3", folder + "FluidR3_GM.sf3"};
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
