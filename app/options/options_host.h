#pragma once
#include <QObject>
#include <QRect>
#include <QWidget>
#include <functional>

#include "app/input/bindings.h"
#include "app/options/settings.h"

namespace quillot {

// What the options window and its controls page ask of the game's window:
// the settings as they stand, the same setters the keys use, and the
// bindings. The window is behind this and nothing more, so the options know
// nothing of the screens or the game.
class OptionsHost {
 public:
  virtual ~OptionsHost() = default;
  // The window the options belong to: their parent, and the screen they show on.
  virtual QWidget* host_window() = 0;
  // Where the game lies on the screen, to centre the options over it.
  virtual QRect game_area_on_screen() const = 0;
  virtual const Settings& settings() const = 0;
  virtual int shown_scale() const = 0;
  // The largest scale whose window fits the screen.
  virtual int largest_scale() const = 0;
  virtual void set_volume(int percent, bool muted) = 0;
  virtual void set_effects_volume(int percent) = 0;
  virtual void set_scale(int scale) = 0;
  virtual void set_fullscreen(bool on) = 0;
  virtual void set_language(Language language) = 0;
  // The player's SoundFont (empty: the automatic choice), and the one the
  // music plays through now (empty: none, or not known yet).
  virtual void set_sound_font(const std::string& path) = 0;
  virtual std::string sound_font_in_use() const = 0;
  // The game's pace in percent, one of kSpeeds.
  virtual void set_speed(int percent) = 0;
  virtual void reset_settings() = 0;
  virtual const Bindings& bindings() const = 0;
  virtual void set_bindings(const Bindings& bindings) = 0;
  // The next pad button goes to `take` while `owner` lives; an empty
  // function gives the buttons back.
  virtual void capture_pad(QObject* owner, std::function<void(PadButton)> take) = 0;
};

}  // namespace quillot
