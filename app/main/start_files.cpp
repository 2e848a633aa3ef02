#include "app/main/start_files.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <filesystem>

#include "app/window/dialogs.h"
#include "app/options/settings.h"
#include "files/atomic_file.h"

namespace quillot {

namespace {

namespace fs = std::filesystem;

bool same_place(const std::string& a, const std::string& b) {
  std::error_code ec1, ec2;
  const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec1), ec1);
  const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec2), ec2);
  return !ec1 && !ec2 && pa == pb;
}

}  // namespace

std::optional<int> open_start_files(const GamePaths& paths, bool replaying, const std::string& record,
                                    StartFiles& files) {
  if (!replaying && !paths.cannot_save.empty())
    std::fputs(
        "quillot: there is no home folder (HOME is unset and the password database names none), "
        "so nothing can be saved; the game plays on without saving\n",
        stderr);
  // Only a played game writes the save; a replay never does and needs no lock.
  if (!replaying && !paths.save_file.empty()) {
    files.lock = lock_save(paths.save_file);
    if (files.lock.state() == SaveLock::State::Busy) {
      QtDialogs().message(QCoreApplication::translate("quillot", "ＱＵＩＬＬＯＴはもう動いています。"));
      return 1;
    }
    if (files.lock.state() == SaveLock::State::Blocked) {
      const QString lock = QFile::decodeName(files.lock.path().c_str());
      std::fprintf(stderr,
                   "quillot: %s is not a lock file the game can use; remove it and the game will start\n",
                   files.lock.path().c_str());
      QtDialogs().message(QCoreApplication::translate(
                              "quillot",
                              "ＱＵＩＬＬＯＴを起動できません。\r%1 はロック ファイルとして使えません。\r"
                              "これを削除すると起動できます。")
                              .arg(lock));
      return 1;
    }
    provide_first_save(paths);
    // A game killed between writing and renaming left its temporary behind.
    remove_stale_temporaries(paths.save_file);
    if (const QString settings = settings_path(); !settings.isEmpty())
      remove_stale_temporaries(QFile::encodeName(settings).toStdString());
  }
  if (record.empty()) return std::nullopt;
  // The save, its lock and the settings may not exist yet, and a recording
  // in their place would still take it.
  for (const std::string& own :
       {paths.save_file, paths.save_file + ".lock", QFile::encodeName(settings_path()).toStdString()}) {
    if (own.empty() || own == ".lock" || !same_place(record, own)) continue;
    std::fprintf(stderr,
                 "quillot: %s: the game keeps its own file there; a recording goes into a file of its own\n",
                 record.c_str());
    return 2;
  }
  // Opened before the window, so a file that must not be overwritten is
  // refused before anything is shown.
  files.recorder = std::make_unique<Recorder>(record);
  if (!files.recorder->ok()) {
    std::fprintf(stderr, "quillot: %s\n", files.recorder->error().c_str());
    return 2;
  }
  return std::nullopt;
}

}  // namespace quillot
