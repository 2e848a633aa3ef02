#include "app/main/game_paths.h"

#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "files/atomic_file.h"
#include "files/file_read.h"
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

}  // namespace

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

}  // namespace quillot
