#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

namespace quillot {

class ControlsPage;
class OptionsHost;

// The options window: the sound's and the window's settings in one place,
// changed through the same setters as their keys, so every change applies at
// once and is remembered the same way. Drawn at the window's scale; Tab moves
// between the controls, the arrows change them, Return presses a button and
// Esc closes.
//
// Its settings are pages of a tab widget, each a form of labelled rows: a
// further page is one add_page() call, a further row one add_row() on a page.
class OptionsWindow : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(OptionsWindow)

 public:
  explicit OptionsWindow(OptionsHost* form);

  // A new page (tab) with an empty form; rows go in with add_row().
  QFormLayout* add_page(const QString& title);
  // A labelled row on a page; the label and the control follow the scale.
  void add_row(QFormLayout* page, const QString& label, QWidget* control);

  // The controls, as the form's settings are now (also after a change made
  // from here, such as a reset or full screen).
  void refresh();

  QSlider* music_volume = nullptr;  // 0..10, steps of 10 %
  QSlider* effects_volume = nullptr;
  QLabel* music_volume_shown = nullptr;  // the sliders' values, in percent
  QLabel* effects_volume_shown = nullptr;
  QCheckBox* mute = nullptr;
  QComboBox* scale = nullptr;  // only the scales whose window fits the screen
  QCheckBox* fullscreen = nullptr;
  QComboBox* language = nullptr;  // auto, then each language by its own name
  // Automatic, then every SoundFont found on the machine (and the player's
  // own choice when it lies elsewhere), by file name; beside it, a file chooser.
  QComboBox* sound_font = nullptr;
  QPushButton* sound_font_file = nullptr;
  QComboBox* speed = nullptr;     // the game's pace, 100 % down to the gentlest
  QPushButton* reset = nullptr;
  QPushButton* close_button = nullptr;
  QTabWidget* pages = nullptr;
  ControlsPage* controls = nullptr;  // the keys' and pad buttons' page

 private:
  void build_sound_and_window_page();
  void refresh_sound_fonts();
  void choose_sound_font_file();
  // Every text in the language in use; again at each language change.
  void retranslate();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // Fonts and sizes for the window's scale.
  void apply_scale();

  OptionsHost* form_;
  bool refreshing_ = false;
  QStringList installed_fonts_;  // looked for once, when the window opens
  int scale_ = 1;
};

}  // namespace quillot
