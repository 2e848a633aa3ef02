#include "files/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillot {

RegularFile::RegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error_ = errno;
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error_ = errno;
  } else if (S_ISDIR(st.st_mode)) {
    error_ = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    error_ = ENODEV;
    type_ = st.st_mode & S_IFMT;
  }
  if (error_ != 0) {
    ::close(fd);
    return;
  }
  // A regular file never blocks; the flag only had to protect the open.
  fd_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string RegularFile::read_at(uint64_t offset, size_t count) const {
  std::string bytes;
  if (fd_ < 0 || offset >= size_) return bytes;
  if (count > size_ - offset) count = static_cast<size_t>(size_ - offset);
  bytes.resize(count);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

std::string RegularFile::why_not() const {
  if (fd_ >= 0) return {};
  switch (error_) {
    case ENOENT:
      return "is missing";
    case EISDIR:
      return "is a folder";
    case ENODEV:
      return S_ISFIFO(type_)   ? "is a FIFO, not a file"
             : S_ISSOCK(type_) ? "is a socket, not a file"
                               : "is a device, not a file";
    default:
      return std::string("cannot be opened (") + std::strerror(error_) + ")";
  }
}

FileRead read_regular_file(const std::string& path, size_t limit) {
  FileRead r;
  const RegularFile file(path);
  if (file.fd() < 0) {
    r.error = file.error();
    return r;
  }
  const int fd = file.fd();
  const size_t hint = file.size() > 0 ? static_cast<size_t>(file.size()) : 4096;
  try {
    r.bytes.resize(hint < limit ? hint : limit);
  } catch (...) {
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
  r.bytes.resize(done);
  if (r.error != 0) r.bytes.clear();
  return r;
}

bool is_non_regular(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace quillot
