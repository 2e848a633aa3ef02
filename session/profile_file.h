#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "game/state.h"
#include "game/text.h"

namespace quillot {

// An input/output error in the words the player sees in the error box.
struct FileError {
  Text message;
};

extern const char* const kFileNotFound;  // "ﾌｧｲﾙが見つかりません"
extern const char* const kNotANumber;    // "入力値が数値ではありません"
extern const char* const kAccessDenied;  // "ﾌｧｲﾙ ｱｸｾｽが拒否されました"

// The save file is 13 short lines; a file far longer than that is read only up
// to here (its later bytes could hold no value the game reads anyway).
constexpr size_t kProfileReadLimit = 64 * 1024;

// The error box's text for an errno of reading or writing a file.
FileError file_error(int err, bool writing);

// Reads the 13 values of the save file into `profile`, in file order. On an
// error the fields read before it keep their new values and the later ones are
// left as they were in `profile` (start-up passes zeroes).
std::optional<FileError> load_profile(const std::string& path, Profile& profile);

// Parses the bytes of a save file; used by load_profile and the fuzz target.
std::optional<FileError> parse_profile(std::string_view bytes, Profile& profile);

// Writes the 13 values, CR LF after each. The new file is written beside the
// old one under a fresh name and renamed over it, so a failed save leaves the
// old file whole; it keeps the old file's permission bits. A save file without
// its owner's write permission is refused and left as it is.
std::optional<FileError> save_profile(const std::string& path, const Profile& profile);

std::string format_profile(const Profile& profile);

}  // namespace quillot
