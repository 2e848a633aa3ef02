#pragma once
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
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

// A regular file held open for reading, for a caller that looks at parts of
// it, or hands the very file it looked at on (as /proc/self/fd/N), so that
// nothing can be put in its place in between. Opened as read_regular_file
// opens: without blocking, and refusing what is not a regular file.
class RegularFile {
 public:
  explicit RegularFile(const std::string& path);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // The descriptor (close-on-exec); -1 when the file could not be opened.
  int fd() const { return fd_; }
  // Why it could not: errno of the open, EISDIR for a folder, ENODEV for a
  // FIFO, socket or device.
  int error() const { return error_; }
  // Its length when it was opened.
  uint64_t size() const { return size_; }
  // Up to `count` bytes from `offset`: fewer only past the end of the file or
  // when reading fails.
  std::string read_at(uint64_t offset, size_t count) const;
  // Why the file cannot be read, in a few words to follow its name: "is
  // missing", "is a folder", "is a FIFO, not a file", "cannot be opened
  // (Permission denied)". Empty when it is open.
  std::string why_not() const;

 private:
  int fd_ = -1;
  int error_ = 0;
  mode_t type_ = 0;  // what stood in its place, when that was no regular file
  uint64_t size_ = 0;
};

}  // namespace quillot
