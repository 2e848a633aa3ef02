#include "app/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

#include "session/file_read.h"

namespace quillot {

namespace {

// Far more than the few lines the game writes; anything bigger is not ours.
constexpr qint64 kMaxSettingsBytes = 64 * 1024;

// Whether the file may be handed to QSettings, which would block on a FIFO
// and read a huge file whole.
bool usable(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return true;
  if (is_non_regular(QFile::encodeName(path).toStdString())) return false;
  return info.size() <= kMaxSettingsBytes;
}

int read_int(const QSettings& s, const char* key, int fallback, int lo, int hi) {
  bool ok = false;
  const int v = s.value(key).toString().trimmed().toInt(&ok);
  return ok ? std::clamp(v, lo, hi) : fallback;
}

bool read_bool(const QSettings& s, const char* key, bool fallback) {
  const QString v = s.value(key).toString().trimmed().toLower();
  if (v == "true" || v == "1") return true;
  if (v == "false" || v == "0") return false;
  return fallback;
}

}  // namespace

QString settings_path() {
  // The same file QSettings' native user-scope format picks for organisation
  // and application "quillot", named outright so that it follows the
  // environment of each call (QSettings caches its folders once per process).
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/quillot/quillot.conf";
}

Settings load_settings() {
  Settings out;
  const QString path = settings_path();
  if (!usable(path)) return out;
  const QSettings s(path, QSettings::IniFormat);
  if (s.status() != QSettings::NoError) return out;
  out.scale = read_int(s, "window/scale", 0, 0, Settings::kMaxScale);
  out.fullscreen = read_bool(s, "window/fullscreen", false);
  // Whole steps of 10 %, so Minus and Plus always land on the same levels.
  out.volume = (read_int(s, "sound/volume", Settings::kMaxVolume, 0, Settings::kMaxVolume) + 5) / 10 * 10;
  out.muted = read_bool(s, "sound/muted", false);
  out.effects_volume =
      (read_int(s, "sound/effects_volume", Settings::kMaxVolume, 0, Settings::kMaxVolume) + 5) / 10 * 10;
  return out;
}

bool save_settings(const Settings& settings) {
  const QString path = settings_path();
  if (!usable(path) || !QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QSettings s(path, QSettings::IniFormat);
  s.setValue("window/scale", settings.scale);
  s.setValue("window/fullscreen", settings.fullscreen);
  s.setValue("sound/volume", settings.volume);
  s.setValue("sound/muted", settings.muted);
  s.setValue("sound/effects_volume", settings.effects_volume);
  s.sync();
  return s.status() == QSettings::NoError;
}

}  // namespace quillot
