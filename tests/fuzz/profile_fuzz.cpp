// Any bytes as a save file: parsing must not crash, and whatever parsed must
// come back unchanged through the file the game writes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "session/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quillot::Profile parsed;
  if (quillot::parse_profile(std::string_view(reinterpret_cast<const char*>(data), size), parsed)) return 0;
  quillot::Profile again{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  if (quillot::parse_profile(quillot::format_profile(parsed), again) ||
      quillot::profile_values(again) != quillot::profile_values(parsed))
    std::abort();
  return 0;
}
