#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "game/state.h"
#include "session/profile_file.h"

namespace quillot {

// No line of a story file that the screen could show comes near this; a longer
// line keeps its first bytes, so a huge file cannot fill the memory.
constexpr size_t kStoryLineLimit = 4096;
// Every line the game reads at its longest, with its CR LF.
constexpr size_t kStoryReadLimit = static_cast<size_t>(kSlots) * 5 * (kStoryLineLimit + 2);

// Reads the story file: 255 records of five lines. A line ends at CR, with an
// optional LF after it; 0x1A ends the file; lines are not trimmed; missing
// lines are empty and lines past the last record are ignored. Only the first
// kStoryReadLimit bytes are read, and a line keeps at most kStoryLineLimit.
std::optional<FileError> load_stories(const std::string& path, std::array<StoryRec, kSlots>& stories);
void parse_stories(std::string_view bytes, std::array<StoryRec, kSlots>& stories);

// Bytes in the Japanese code page as UTF-8; invalid bytes become U+FFFD.
std::string cp932_to_utf8(std::string_view bytes);

// A picture named by the story file (decoded to UTF-8) must be a plain file
// name inside cg/: no separators, no "..".
bool is_plain_file_name(std::string_view name);

// The story shown when leaving the shop at `stage`, or null when there is none.
const StoryRec* story_for_stage(const std::array<StoryRec, kSlots>& stories, int32_t stage);

}  // namespace quillot
