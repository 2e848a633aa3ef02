#include "files/settings_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "files/atomic_file.h"
#include "files/file_read.h"
#include "files/xdg_paths.h"

namespace quillot {

namespace {

// Far more than the few lines the game writes; anything bigger is not ours.
constexpr size_t kMaxSettingsBytes = 64 * 1024;

// The file's text when it is one the game may use: missing (empty text), or
// a plain file of a settings file's size. Never waits on a FIFO.
std::optional<std::string> current_text(const std::string& path) {
  const FileRead file = read_regular_file(path, kMaxSettingsBytes);
  if (file.error == ENOENT) return std::string();
  if (!file.ok() || file.truncated) return std::nullopt;
  return file.bytes;
}

// Why a change is not remembered is said once a run, not at every key.
void say_not_remembered(const std::string& path, int err) {
  static bool said = false;
  if (said) return;
  said = true;
  const char* why = err == ELOOP                     ? "it is a link, which the game does not write through"
                    : err == EISDIR || err == ENODEV ? "it is not a plain file"
                                                     : std::strerror(err);
  std::fprintf(stderr, "quillot: settings are not remembered: %s: %s\n", path.c_str(), why);
}

}  // namespace

std::string settings_file_path() {
  const auto home = config_home();
  return home ? *home + "/quillot/quillot.conf" : std::string();
}

IniFile read_settings_file() {
  const std::string path = settings_file_path();
  if (path.empty()) return IniFile::parse("");
  return IniFile::parse(current_text(path).value_or(""));
}

bool change_settings_file(const std::function<void(IniFile&)>& change) {
  const std::string path = settings_file_path();
  if (path.empty()) {
    say_not_remembered("quillot.conf", ENOENT);
    return false;
  }
  // A link, folder or FIFO in its place is the player's: left as it is.
  struct stat st {};
  int err =
      ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) ? (S_ISLNK(st.st_mode) ? ELOOP : ENODEV) : 0;
  const auto text = err == 0 ? current_text(path) : std::nullopt;
  if (err == 0 && !text) err = EFBIG;
  if (err == 0) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    IniFile ini = IniFile::parse(*text);
    change(ini);
    err = replace_file(path, ini.text(), ReplaceRules{.replace_link = false});
  }
  if (err != 0) say_not_remembered(path, err);
  return err == 0;
}

}  // namespace quillot
