// Any bytes as a story file: parsing, decoding and the picture-name check on
// every field must not crash, and a name that passes must be safe to join to cg/.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "session/story_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stories = std::make_unique<std::array<quillot::StoryRec, quillot::kSlots>>();
  quillot::parse_stories(std::string_view(reinterpret_cast<const char*>(data), size), *stories);
  for (const quillot::StoryRec& r : *stories) {
    for (const std::string* field : {&r.text, &r.picture, &r.name, &r.about, &r.choice}) {
      // Most records of a short input are empty; skipping them keeps the run fast.
      if (field->empty()) continue;
      const std::string utf8 = quillot::cp932_to_utf8(*field);
      if (quillot::is_plain_file_name(utf8) && (utf8.find('/') != std::string::npos || utf8 == ".."))
        std::abort();
    }
  }
  return 0;
}
