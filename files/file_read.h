#pragma once
#include <cstddef>
#include <string>

namespace quillot {

// What came of reading a file the player can put anything in place of.
struct FileRead {
  std::string bytes;
  int error = 0;           // errno of the step that failed; 0 when the bytes were read
  bool truncated = false;  // the file held more than the limit; `bytes` is its start
  bool ok() const { return error == 0; }
};

// Reads at most `limit` bytes of a regular file. The file is opened without
// blocking, so a FIFO in its place is refused at once instead of waiting for a
// writer; a directory gets EISDIR, a FIFO, socket or device ENODEV. Never
// throws.
FileRead read_regular_file(const std::string& path, size_t limit);

// Whether `path` names something that exists but is not a regular file (a
// directory, a FIFO, a device), following links. A missing path is not one.
bool is_non_regular(const std::string& path);

}  // namespace quillot
