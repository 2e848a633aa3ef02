#include "files/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace quillot {

namespace {

// Six random letters and a mark that no player's own file carries by chance:
// "my.dat.backup" looks like six random letters too, and must never go.
constexpr std::string_view kTemporaryTail = ".tmp";
constexpr std::string_view kTemporarySuffix = ".XXXXXX.tmp";

bool temporary_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The process's file-creation mask, read without changing it: setting it and
// back would, for that moment, let any other thread create files open to all.
mode_t process_umask() {
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, f) != nullptr)
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(f);
    if (found) return static_cast<mode_t>(mask);
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

int write_all(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    done += static_cast<size_t>(n);
  }
  return 0;
}

int replace_file(const std::string& path, std::string_view bytes, ReplaceRules rules) {
  // The old file decides who may replace it: a file the player made read-only
  // stays as it is, even for a user (root) whom the system would let write it.
  struct stat old {};
  bool replacing = true;
  if (::lstat(path.c_str(), &old) != 0) {
    if (errno != ENOENT) return errno;
    replacing = false;
  } else if (S_ISLNK(old.st_mode)) {
    if (!rules.replace_link) return ELOOP;
    if (::stat(path.c_str(), &old) != 0) {
      if (errno != ENOENT) return errno;
      replacing = false;  // a dangling link: the new file takes its place
    }
  }
  if (replacing && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : ENODEV;
  if (replacing && (old.st_mode & S_IWUSR) == 0) return EACCES;

  std::string temp = path + std::string(kTemporarySuffix);
  const int fd = ::mkostemps(temp.data(), static_cast<int>(kTemporaryTail.size()), O_CLOEXEC);
  if (fd < 0) return errno;
  int err = 0;
  if (replacing) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) err = errno;
    // Best effort: only root can give the file back to another owner.
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) (void)!::fchown(fd, old.st_uid, old.st_gid);
  } else {
    if (::fchmod(fd, 0666 & ~process_umask()) != 0) err = errno;
  }
  if (err == 0) err = write_all(fd, bytes);
  // A full disk may only show itself when the data reaches it.
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) ::unlink(temp.c_str());
  return err;
}

int remove_stale_temporaries(const std::string& path, int min_age_seconds) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return 0;
  const int dir_fd = ::dirfd(d);
  const time_t now = std::time(nullptr);
  int removed = 0;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name.size() != base.size() + kTemporarySuffix.size() || name.substr(0, base.size()) != base ||
        name[base.size()] != '.')
      continue;
    bool ours = name.substr(name.size() - kTemporaryTail.size()) == kTemporaryTail;
    for (char c : name.substr(base.size() + 1, 6)) ours = ours && temporary_letter(c);
    struct stat st {};
    if (!ours || ::fstatat(dir_fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || now - st.st_mtime < min_age_seconds) continue;
    if (::unlinkat(dir_fd, e->d_name, 0) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}

}  // namespace quillot
