#pragma once
#include <string>
#include <string_view>

namespace quillot {

// How a file is replaced by replace_file.
struct ReplaceRules {
  // A symbolic link at the path is replaced by the new file (the save's
  // way: its target is never written). When false the link is left alone
  // and the write refused with ELOOP.
  bool replace_link = true;
};

// Writes all of `bytes` to `fd`, again after an interruption. Returns 0, or
// the errno of the write that failed; ENOSPC for a device that takes nothing
// and says no error, where retrying would spin for ever.
int write_all(int fd, std::string_view bytes);

// Replaces the file at `path` with `bytes`, so that a reader sees either the
// old file whole or the new one whole: the bytes go into a fresh temporary of
// our own beside it (created exclusively, so nothing planted under its name is
// followed), are flushed to the disk and renamed over the old file. The new
// file keeps the old one's permission bits; one without its owner's write
// permission is refused and left as it is, as is anything that is not a plain
// file (EISDIR for a folder, ENODEV for a FIFO or device). Never waits on a
// lock or a reader. Returns 0, or the errno of the step that failed.
int replace_file(const std::string& path, std::string_view bytes, ReplaceRules rules = {});

// Removes the temporaries replace_file leaves when the process is killed
// between writing and renaming (`path` plus ".XXXXXX.tmp"): only
// plain files of ours that nobody has touched for `min_age_seconds`, so a
// write in progress in another game is never disturbed. Returns how many.
int remove_stale_temporaries(const std::string& path, int min_age_seconds = 60);

}  // namespace quillot
