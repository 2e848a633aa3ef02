#include "app/game_paths.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

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

}  // namespace

GamePaths decide_game_paths(const std::string& exe_dir, const std::string& player_dir,
                            const std::function<bool(const std::string&)>& writable) {
  const fs::path beside(exe_dir);
  const fs::path player_save = fs::path(player_dir) / "my.dat";
  if (holds_data(beside)) {
    if (writable((beside / "dat").string())) return {exe_dir, (beside / "dat" / "my.dat").string(), true};
    return {exe_dir, player_save.string(), false};
  }
  const fs::path installed = (beside / QUILLOT_DATA_FROM_BIN).lexically_normal();
  if (holds_data(installed)) return {installed.string(), player_save.string(), false};
  // No data anywhere: the folder beside the program, as a build has always
  // used it, and the missing files are reported as they are read.
  return {exe_dir, (beside / "dat" / "my.dat").string(), true};
}

GamePaths game_paths() {
  const QString player =
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/quillot");
  return decide_game_paths(own_folder(), QFile::encodeName(player).toStdString(), folder_writable);
}

bool provide_first_save(const GamePaths& paths) {
  if (paths.portable) return true;
  std::error_code ec;
  // A dangling link or a directory is the player's business, and loading it
  // reports what is wrong; only a path with nothing at all gets the default.
  if (fs::symlink_status(paths.save_file, ec).type() != fs::file_type::not_found) return true;
  const QString save = QFile::decodeName(paths.save_file.c_str());
  if (!QDir().mkpath(QFileInfo(save).absolutePath())) return false;
  const QString shipped = QFile::decodeName((fs::path(paths.data_dir) / "dat" / "my.dat").c_str());
  // QFile::copy refuses to replace an existing file.
  if (!QFile::copy(shipped, save)) return false;
  // An install may ship its data read-only; the player's copy is theirs to write.
  return QFile::setPermissions(save,
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

SaveLock lock_save(const std::string& save_file) {
  const QString save = QFile::decodeName(save_file.c_str());
  SaveLock out;
  if (!QDir().mkpath(QFileInfo(save).absolutePath())) return out;
  auto lock = std::make_unique<QLockFile>(save + QStringLiteral(".lock"));
  // A game holds its save for hours: only a lock whose game no longer runs is stale.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    out.file = std::move(lock);
  } else {
    out.busy = lock->error() == QLockFile::LockFailedError;
  }
  return out;
}

}  // namespace quillot
