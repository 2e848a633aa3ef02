#include "app/game_paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "session/atomic_file.h"
#include "session/file_read.h"
#include "session/profile_file.h"

namespace quillot {

namespace fs = std::filesystem;

namespace {

#ifndef QUILLOT_DATA_FROM_BIN
#define QUILLOT_DATA_FROM_BIN "../share/games/quillot"
#endif

bool holds_data(const fs::path& dir) {
  std::error_code ec;
  return fs::is_directory(dir / "dat", ec) && fs::is_directory(dir / "cg", ec);
}

bool folder_writable(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

std::string own_folder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path().string();
  return QDir::currentPath().toStdString();
}

std::optional<std::string> absolute(const char* path) {
  if (path == nullptr || path[0] != '/') return std::nullopt;
  return std::string(path);
}

std::optional<std::string> home() {
  if (auto h = absolute(std::getenv("HOME"))) return h;
  const passwd* pw = ::getpwuid(::getuid());
  return absolute(pw != nullptr ? pw->pw_dir : nullptr);
}

std::optional<std::string> xdg_home(const char* variable, const char* under_home) {
  if (auto v = absolute(std::getenv(variable))) return v;
  if (auto h = home()) return *h + under_home;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> data_home() { return xdg_home("XDG_DATA_HOME", "/.local/share"); }
std::optional<std::string> config_home() { return xdg_home("XDG_CONFIG_HOME", "/.config"); }

GamePaths decide_game_paths(const std::string& exe_dir, const std::string& player_dir,
                            const std::function<bool(const std::string&)>& writable) {
  const fs::path beside(exe_dir);
  const fs::path player_save = player_dir.empty() ? fs::path() : fs::path(player_dir) / "my.dat";
  if (holds_data(beside)) {
    if (writable((beside / "dat").string())) return {exe_dir, (beside / "dat" / "my.dat").string(), true, {}};
    return {exe_dir, player_save.string(), false, {}};
  }
  const fs::path installed = (beside / QUILLOT_DATA_FROM_BIN).lexically_normal();
  if (holds_data(installed)) return {installed.string(), player_save.string(), false, {}};
  // No data anywhere: the folder beside the program, as a build has always
  // used it, and the missing files are reported as they are read.
  return {exe_dir, (beside / "dat" / "my.dat").string(), true, {}};
}

GamePaths game_paths() {
  const auto data = data_home();
  GamePaths paths = decide_game_paths(own_folder(), data ? *data + "/quillot" : "", folder_writable);
  if (paths.save_file.empty())
    paths.cannot_save = QT_TRANSLATE_NOOP("quillot", "ﾎｰﾑ ﾌｫﾙﾀﾞが見つからないためｾｰﾌﾞできません");
  return paths;
}

bool provide_first_save(const GamePaths& paths) {
  if (paths.portable || paths.save_file.empty()) return true;
  std::error_code ec;
  // A dangling link or a directory is the player's business, and loading it
  // reports what is wrong; only a path with nothing at all gets the default.
  if (fs::symlink_status(paths.save_file, ec).type() != fs::file_type::not_found) return true;
  fs::create_directories(fs::path(paths.save_file).parent_path(), ec);
  if (ec) return false;
  // Read as every other file of ours, so a FIFO or a huge file in the install
  // never holds the start. The copy is the player's to write, however the
  // install keeps its own.
  const FileRead shipped =
      read_regular_file((fs::path(paths.data_dir) / "dat" / "my.dat").string(), kProfileReadLimit);
  if (!shipped.ok() || shipped.truncated) return false;
  return replace_file(paths.save_file, shipped.bytes) == 0;
}

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
