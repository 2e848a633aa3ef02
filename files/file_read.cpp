#include "files/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quillot {

FileRead read_regular_file(const std::string& path, size_t limit) {
  FileRead r;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    r.error = errno;
    return r;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    r.error = errno;
  } else if (S_ISDIR(st.st_mode)) {
    r.error = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    r.error = ENODEV;
  }
  if (r.error != 0) {
    ::close(fd);
    return r;
  }
  // A regular file never blocks; the flag only had to protect the open.
  const size_t hint = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 4096;
  try {
    r.bytes.resize(hint < limit ? hint : limit);
  } catch (...) {
    ::close(fd);
    r.error = ENOMEM;
    return r;
  }
  size_t done = 0;
  for (;;) {
    if (done == r.bytes.size()) {
      if (done >= limit) {
        // One more byte tells a file of exactly `limit` bytes from a longer one.
        char extra = 0;
        ssize_t n = 0;
        do n = ::read(fd, &extra, 1);
        while (n < 0 && errno == EINTR);
        r.truncated = n > 0;
        break;
      }
      // The file grew since fstat, or reported no size (procfs): read on in steps.
      const size_t grown = done * 2 < limit ? done * 2 + 4096 : limit;
      try {
        r.bytes.resize(grown < limit ? grown : limit);
      } catch (...) {
        r.error = ENOMEM;
        break;
      }
    }
    const ssize_t n = ::read(fd, r.bytes.data() + done, r.bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      r.error = errno;
      break;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  r.bytes.resize(done);
  if (r.error != 0) r.bytes.clear();
  return r;
}

bool is_non_regular(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace quillot
