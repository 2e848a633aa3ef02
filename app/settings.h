#pragma once
#include <QString>
#include <cstdint>
#include <functional>

namespace quillot {

// The language the game speaks; Auto follows the desktop.
enum class Language : uint8_t { Auto, Japanese, English };

// What the player chooses about the window and the sound, kept between runs
// in $XDG_CONFIG_HOME/quillot/quillot.conf. Nothing here touches the rules.
struct Settings {
  static constexpr int kMaxScale = 4;
  static constexpr int kMaxVolume = 100;

  int scale = 0;  // window scale 1..4; 0 until the player has chosen one
  bool fullscreen = false;
  int volume = kMaxVolume;          // percent of the game's full music level, in steps of 10
  bool muted = false;               // all sound, music and effects
  int effects_volume = kMaxVolume;  // percent of the effects' full level, in steps of 10
  Language language = Language::Auto;

  bool operator==(const Settings&) const = default;
};

// The settings file in effect (it follows XDG_CONFIG_HOME at every call);
// empty when the player has no home folder.
QString settings_path();

// Reads the settings. The file is the player's to break: a missing, corrupt
// or oversized file, a directory or a FIFO in its place, give the defaults,
// never an error and never a wait; every value is clamped to its range.
Settings load_settings();

// Writes the settings as the save is written (a fresh file renamed into
// place), keeping every group and key the file holds that the game does not
// know. False when the file cannot be written or a link, folder, FIFO or
// oversized file stands in its place: that is left alone and the change is
// not remembered (said once a run on stderr). Never waits.
bool save_settings(const Settings& settings);

class IniFile;
// The settings file as it stands, for the groups kept by other parts of the
// window (the key and pad bindings): read as load_settings reads, empty when
// missing or unusable.
IniFile read_settings_file();
// Applies `change` to the settings file and writes it as save_settings does.
bool change_settings_file(const std::function<void(IniFile&)>& change);

}  // namespace quillot
