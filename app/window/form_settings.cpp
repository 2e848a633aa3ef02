// The player's settings as the window applies them: the sound's volumes and
// mute, the language, a reset to the defaults, and the windows that show
// them (the options and the help).
#include "app/options/language.h"
#include "app/options/options_window.h"
#include "app/window/form.h"

namespace quillot {

void TForm1::set_volume(int percent, bool muted) {
  settings_.set(&Settings::volume, std::clamp(percent / 10 * 10, 0, Settings::kMaxVolume));
  settings_.set(&Settings::muted, muted);
  options_.music->set_volume(settings_.now().volume, settings_.now().muted);
  options_.music->set_effects_volume(settings_.now().effects_volume, settings_.now().muted);
  const QString text = settings_.now().muted ? tr("♪ ミュート") : tr("♪ 音楽 %1%").arg(settings_.now().volume);
  toast_->show_text(text, game_area(), shown_scale_);
}

void TForm1::set_effects_volume(int percent) {
  settings_.set(&Settings::effects_volume, std::clamp(percent / 10 * 10, 0, Settings::kMaxVolume));
  // A step is meant to be heard, as with the music's.
  settings_.set(&Settings::muted, false);
  options_.music->set_volume(settings_.now().volume, false);
  options_.music->set_effects_volume(settings_.now().effects_volume, false);
  toast_->show_text(tr("♪ 効果音 %1%").arg(settings_.now().effects_volume), game_area(), shown_scale_);
}

void TForm1::reset_settings() {
  const Settings defaults;
  settings_.set(&Settings::scale, largest_window_scale(this));
  settings_.set(&Settings::fullscreen, defaults.fullscreen);
  settings_.set(&Settings::effects_volume, defaults.effects_volume);
  lay_out_window();
  set_volume(defaults.volume, defaults.muted);
  set_language(defaults.language);
  set_sound_font(defaults.sound_font);
  set_speed(defaults.speed);
}

void TForm1::set_sound_font(const std::string& path) {
  settings_.set(&Settings::sound_font, path);
  options_.music->set_sound_font(path);
}

void TForm1::set_language(Language language) {
  settings_.set(&Settings::language, language);
  use_language(resolve_language(language));
  // The story screens in the new language from the next one on. A replay
  // plays the stories of its recording; a recording keeps those it began
  // with, which have the same screens and questions in every language.
  if (!options_.replaying) load_story_file();
}

OptionsWindow* TForm1::options_window() const { return options_window_; }

void TForm1::show_options() {
  if (options_window_ != nullptr) return;
  set_paused(true);
  options_window_ = new OptionsWindow(this);
  options_window_->open();
}

void TForm1::show_help() {
  set_paused(true);
  open_box([this] { options_.dialogs->help(help_text(options_.bindings)); });
}

}  // namespace quillot
