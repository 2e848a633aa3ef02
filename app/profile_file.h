#pragma once
#include <optional>
#include <string>

#include "game/state.h"

namespace quillot {

// An input/output error in the words the player sees in the error box.
struct FileError {
  std::string message;  // UTF-8
};

extern const char* const kFileNotFound;  // "ﾌｧｲﾙが見つかりません"
extern const char* const kNotANumber;    // "入力値が数値ではありません"

// Reads the 13 values of the save file into `profile`, in file order. On an
// error the fields read before it keep their new values and the later ones are
// left as they were in `profile` (start-up passes zeroes).
std::optional<FileError> load_profile(const std::string& path, Profile& profile);

// Parses the bytes of a save file; used by load_profile and the fuzz target.
std::optional<FileError> parse_profile(std::string_view bytes, Profile& profile);

// Writes the 13 values, CR LF after each. The new file is written beside the
// old one and renamed over it, so a failed save leaves the old file whole.
std::optional<FileError> save_profile(const std::string& path, const Profile& profile);

std::string format_profile(const Profile& profile);

}  // namespace quillot
