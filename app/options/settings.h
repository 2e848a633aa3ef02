#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillot {

// The language the game speaks; Auto follows the desktop.
enum class Language : uint8_t { Auto, Japanese, English };

// The window scales there are: the game's pixels 1 to 4 times.
inline constexpr int kMinScale = 1;
inline constexpr int kMaxScale = 4;

// What the player chooses about the window and the sound, kept between runs
// in $XDG_CONFIG_HOME/quillot/quillot.conf. Nothing here touches the rules.
struct Settings {
  static constexpr int kMaxVolume = 100;

  int scale = 0;  // window scale 1..4; 0 until the player has chosen one
  bool fullscreen = false;
  int volume = kMaxVolume;          // percent of the game's full music level, in steps of 10
  bool muted = false;               // all sound, music and effects
  int effects_volume = kMaxVolume;  // percent of the effects' full level, in steps of 10
  Language language = Language::Auto;
  // The General MIDI SoundFont the music plays through; empty: the automatic choice.
  std::string sound_font = {};
  // The game's pace in percent: 100, or a gentler one where the ticks come
  // further apart (session/pace.h). The rules stay the same.
  int speed = 100;

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
// not remembered (said once a run on stderr). Never waits. With `known`
// (what the file held when this game last read or wrote it) only the values
// that differ from it are written: a change another game or the player made
// since stays.
bool save_settings(const Settings& settings, const std::optional<Settings>& known = std::nullopt);

// The settings in effect and the settings the file is to hold, held once: a
// change the player makes goes into both, an option for one run only into
// the one in effect. A change is written after a quiet moment, so a run of
// volume keys in a stage costs one write and never a write in the frame; a
// change still waiting is written when the keeper goes (the window closes,
// a signal ends the game). Only what changed since the file was last read
// or written here is written, into the file as it stands then.
class SettingsKeeper {
 public:
  static constexpr int kQuietMs = 1000;

  // `remembered`: what the file holds; none when nothing is to be written.
  SettingsKeeper(const Settings& in_effect, std::optional<Settings> remembered);
  ~SettingsKeeper();
  SettingsKeeper(const SettingsKeeper&) = delete;
  SettingsKeeper& operator=(const SettingsKeeper&) = delete;

  const Settings& now() const { return now_; }
  template <typename T>
  void set(T Settings::*field, T value) {
    now_.*field = value;
    saved_.*field = value;
    due();
  }
  // For this run alone.
  template <typename T>
  void set_for_run(T Settings::*field, T value) {
    now_.*field = value;
  }
  // Something else of the file changed (the bindings): written with the rest.
  void also_write(std::function<void()> write);
  // Writes what waits, now.
  void flush();
  // Files written so far.
  int writes() const { return writes_; }

 private:
  void due();
  Settings now_;
  Settings saved_;
  Settings known_;  // what the file held when last read or written here
  bool remember_;
  bool waiting_ = false;
  std::vector<std::function<void()>> also_;
  QTimer quiet_;
  int writes_ = 0;
};

}  // namespace quillot
