#include "app/options/settings.h"

#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "app/main/game_paths.h"
#include "files/ini_file.h"
#include "app/options/language.h"
#include "app/window/window_scale.h"
#include "files/atomic_file.h"
#include "files/file_read.h"

namespace quillot {

namespace {

// Far more than the few lines the game writes; anything bigger is not ours.
constexpr size_t kMaxSettingsBytes = 64 * 1024;

// Every remembered value, where it is kept and how it is bounded: adding a
// value is one line here (and its field in Settings).
template <typename Visitor>
void each_value(Visitor& v, Settings& s) {
  v.number("window", "scale", s.scale, 0, kMaxScale);
  v.flag("window", "fullscreen", s.fullscreen);
  // Whole steps of 10 %, so Minus and Plus always land on the same levels.
  v.number("sound", "volume", s.volume, 0, Settings::kMaxVolume, 10);
  v.flag("sound", "muted", s.muted);
  v.number("sound", "effects_volume", s.effects_volume, 0, Settings::kMaxVolume, 10);
  // auto, ja or en; anything else is auto.
  std::string language = language_name(s.language).toStdString();
  v.text("general", "language", language);
  s.language = language_from_name(QString::fromStdString(language).trimmed()).value_or(Language::Auto);
}

// Takes each value from the file; a missing or broken one keeps its default.
struct Reader {
  const IniFile& ini;
  void number(const char* group, const char* key, int& value, int lo, int hi, int step = 1) {
    const auto text = ini.get(group, key);
    if (!text) return;
    bool ok = false;
    const int v = QString::fromStdString(*text).toInt(&ok);
    if (ok) value = (std::clamp(v, lo, hi) + step / 2) / step * step;
  }
  void flag(const char* group, const char* key, bool& value) {
    const QString v = QString::fromStdString(ini.get(group, key).value_or("")).toLower();
    if (v == "true" || v == "1") value = true;
    if (v == "false" || v == "0") value = false;
  }
  void text(const char* group, const char* key, std::string& value) {
    if (auto t = ini.get(group, key)) value = *t;
  }
};

struct Writer {
  IniFile& ini;
  void number(const char* group, const char* key, int& value, int, int, int = 1) {
    ini.set(group, key, std::to_string(value));
  }
  void flag(const char* group, const char* key, bool& value) {
    ini.set(group, key, value ? "true" : "false");
  }
  void text(const char* group, const char* key, std::string& value) { ini.set(group, key, value); }
};

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

QString settings_path() {
  const auto home = config_home();
  return home ? QFile::decodeName((*home + "/quillot/quillot.conf").c_str()) : QString();
}

Settings load_settings() {
  Settings out;
  const IniFile ini = read_settings_file();
  Reader reader{ini};
  each_value(reader, out);
  return out;
}

IniFile read_settings_file() {
  const QString path = settings_path();
  if (path.isEmpty()) return IniFile::parse("");
  return IniFile::parse(current_text(QFile::encodeName(path).toStdString()).value_or(""));
}

bool change_settings_file(const std::function<void(IniFile&)>& change) {
  const QString qpath = settings_path();
  if (qpath.isEmpty()) {
    say_not_remembered("quillot.conf", ENOENT);
    return false;
  }
  const std::string path = QFile::encodeName(qpath).toStdString();
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

bool save_settings(const Settings& settings) {
  return change_settings_file([&settings](IniFile& ini) {
    Writer writer{ini};
    Settings copy = settings;
    each_value(writer, copy);
  });
}

SettingsKeeper::SettingsKeeper(const Settings& in_effect, std::optional<Settings> remembered)
    : now_(in_effect), saved_(remembered.value_or(in_effect)), remember_(remembered.has_value()) {
  quiet_.setSingleShot(true);
  quiet_.setInterval(kQuietMs);
  QObject::connect(&quiet_, &QTimer::timeout, [this] { flush(); });
}

SettingsKeeper::~SettingsKeeper() { flush(); }

void SettingsKeeper::due() {
  if (!remember_) return;
  waiting_ = true;
  quiet_.start();  // again from the start at each change
}

void SettingsKeeper::also_write(std::function<void()> write) {
  if (!remember_) return;
  also_.push_back(std::move(write));
  waiting_ = true;
  quiet_.start();
}

void SettingsKeeper::flush() {
  quiet_.stop();
  if (!waiting_) return;
  waiting_ = false;
  save_settings(saved_);
  for (const auto& write : std::exchange(also_, {})) write();
  ++writes_;
}

}  // namespace quillot
