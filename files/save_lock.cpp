#include "files/save_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace quillot {

namespace fs = std::filesystem;

SaveLock::SaveLock(SaveLock&& other) noexcept { *this = std::move(other); }

SaveLock& SaveLock::operator=(SaveLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    state_ = other.state_;
    path_ = std::move(other.path_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

SaveLock::~SaveLock() {
  // Closing the only descriptor releases the flock; the file stays.
  if (fd_ >= 0) ::close(fd_);
}

SaveLock lock_save(const std::string& save_file) {
  SaveLock out;
  if (save_file.empty()) return out;
  out.path_ = save_file + ".lock";
  std::error_code ec;
  fs::create_directories(fs::path(save_file).parent_path(), ec);
  // Read-only is enough for an flock, and lets a lock left by another user
  // (root, once) serve; without blocking and without following a link, so
  // nothing put in its place can hold the start or be written through.
  const int fd =
      ::open(out.path_.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
  struct stat st {};
  if (fd < 0) {
    // Nothing there and none can be made: the folder's own trouble, which SAVE reports.
    if (::lstat(out.path_.c_str(), &st) != 0) return out;
    out.state_ = SaveLock::State::Blocked;
    return out;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    out.state_ = SaveLock::State::Blocked;
    return out;
  }
  int r = 0;
  do r = ::flock(fd, LOCK_EX | LOCK_NB);
  while (r != 0 && errno == EINTR);
  if (r == 0) {
    out.fd_ = fd;
    out.state_ = SaveLock::State::Held;
    return out;
  }
  out.state_ = errno == EWOULDBLOCK ? SaveLock::State::Busy : SaveLock::State::None;
  ::close(fd);
  return out;
}

}  // namespace quillot
