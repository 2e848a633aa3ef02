#include "app/options/settings.h"

#include <QFile>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "files/ini_file.h"
#include "files/settings_file.h"
#include "app/options/language.h"
#include "session/pace.h"

namespace quillot {

namespace {

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
  // A path, or empty for the automatic choice; whether it serves is the music's to find.
  v.text("sound", "soundfont", s.sound_font);
  // auto, ja or en; anything else is auto.
  std::string language = language_name(s.language).toStdString();
  v.text("general", "language", language);
  s.language = language_from_name(QString::fromStdString(language).trimmed()).value_or(Language::Auto);
  // Whole steps of 10 % between the gentlest pace and the normal one: every
  // such step is a pace the game has.
  v.number("game", "speed", s.speed, kSpeeds.back(), kSpeeds.front(), 10);
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

// Each value as the file writes it, in the order of each_value.
struct Texts {
  std::vector<std::string> out;
  void number(const char*, const char*, int& value, int, int, int = 1) { out.push_back(std::to_string(value)); }
  void flag(const char*, const char*, bool& value) { out.push_back(value ? "true" : "false"); }
  void text(const char*, const char*, std::string& value) { out.push_back(value); }
};

std::vector<std::string> texts(Settings s) {
  Texts t;
  each_value(t, s);
  return t.out;
}

// Writes the values that differ from `known` (all of them without it), so a
// value another game changed since is not put back.
struct Writer {
  IniFile& ini;
  std::vector<std::string> now;
  std::optional<std::vector<std::string>> known;
  size_t at = 0;
  void put(const char* group, const char* key) {
    if (!known || (*known)[at] != now[at]) ini.set(group, key, now[at]);
    ++at;
  }
  void number(const char* group, const char* key, int&, int, int, int = 1) { put(group, key); }
  void flag(const char* group, const char* key, bool&) { put(group, key); }
  void text(const char* group, const char* key, std::string&) { put(group, key); }
};

}  // namespace

QString settings_path() { return QFile::decodeName(settings_file_path().c_str()); }

Settings load_settings() {
  Settings out;
  const IniFile ini = read_settings_file();
  Reader reader{ini};
  each_value(reader, out);
  return out;
}

bool save_settings(const Settings& settings, const std::optional<Settings>& known) {
  return change_settings_file([&](IniFile& ini) {
    Writer writer{ini, texts(settings), known ? std::optional(texts(*known)) : std::nullopt};
    Settings copy = settings;
    each_value(writer, copy);
  });
}

SettingsKeeper::SettingsKeeper(const Settings& in_effect, std::optional<Settings> remembered)
    : now_(in_effect),
      saved_(remembered.value_or(in_effect)),
      known_(saved_),
      remember_(remembered.has_value()) {
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
  if (save_settings(saved_, known_)) known_ = saved_;
  for (const auto& write : std::exchange(also_, {})) write();
  ++writes_;
}

}  // namespace quillot
