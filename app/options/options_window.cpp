#include "app/options/options_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

#include "app/options/controls_page.h"
#include "app/options/options_host.h"
#include "app/render/look.h"
#include "audio/sound_font_files.h"
#include "session/pace.h"

namespace quillot {

namespace {

constexpr int kFontPx = 12;
constexpr int kSliderWidth = 150;  // at 1x: a step of 10 % is 15 px, easy to hit

// A slider with its value beside it, as the number the player hears it by.
QWidget* with_number(QWidget* parent, QSlider* slider, QLabel* number) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(slider, 1);
  layout->addWidget(number);
  number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return row;
}

QSlider* volume_slider(QWidget* parent) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setRange(0, Settings::kMaxVolume / 10);
  s->setSingleStep(1);
  s->setPageStep(1);
  s->setTickPosition(QSlider::TicksBelow);
  s->setTickInterval(1);
  return s;
}

}  // namespace

OptionsWindow::OptionsWindow(OptionsHost* form) : QDialog(form->host_window()), form_(form) {
  setAttribute(Qt::WA_DeleteOnClose);

  setModal(true);
  auto* layout = new QVBoxLayout(this);
  pages = new QTabWidget(this);
  layout->addWidget(pages);
  build_sound_and_window_page();
  controls = new ControlsPage(form_, pages);
  pages->addTab(controls, QString());

  auto* buttons = new QHBoxLayout;
  reset = new QPushButton(this);
  close_button = new QPushButton(this);
  close_button->setDefault(true);
  buttons->addWidget(reset);
  buttons->addStretch(1);
  buttons->addWidget(close_button);
  layout->addLayout(buttons);

  connect(reset, &QPushButton::clicked, this, [this] {
    form_->reset_settings();
    refresh();
  });
  connect(close_button, &QPushButton::clicked, this, &QDialog::accept);
  retranslate();
  music_volume->setFocus();
}

void OptionsWindow::retranslate() {
  setWindowTitle(tr("設定 - ") + QString::fromUtf8(kAppTitle));
  pages->setTabText(0, tr("音と画面"));
  pages->setTabText(1, tr("操作"));
  controls->retranslate();
  auto* rows = qobject_cast<QFormLayout*>(pages->widget(0)->layout());
  const std::pair<QWidget*, QString> labels[] = {{music_volume->parentWidget(), tr("音楽の音量")},
                                                 {effects_volume->parentWidget(), tr("効果音の音量")},
                                                 {scale, tr("画面の大きさ")},
                                                 {language, tr("言語")},
                                                 {sound_font->parentWidget(), tr("音楽の音色")},
                                                 {speed, tr("ゲームの速さ")}};
  for (const auto& [control, text] : labels)
    if (auto* label = qobject_cast<QLabel*>(rows->labelForField(control))) label->setText(text);
  mute->setText(tr("すべての音を消す（M）"));
  fullscreen->setText(tr("フルスクリーン（F11）"));
  language->setItemText(0, tr("自動（デスクトップに合わせる）"));
  sound_font_file->setText(tr("ファイル…"));
  for (int i = 0; i < speed->count(); ++i) {
    const int percent = speed->itemData(i).toInt();
    speed->setItemText(i, percent == kSpeeds.front() ? tr("%1%（ふつう）").arg(percent)
                                                     : tr("%1%（ゆっくり）").arg(percent));
  }
  reset->setText(tr("初期設定に戻す"));
  close_button->setText(tr("閉じる"));
  refresh();
  apply_scale();
}

void OptionsWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) retranslate();
  QDialog::changeEvent(event);
}

QFormLayout* OptionsWindow::add_page(const QString& title) {
  auto* page = new QWidget(pages);
  auto* rows = new QFormLayout(page);
  rows->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  pages->addTab(page, title);
  return rows;
}

void OptionsWindow::add_row(QFormLayout* page, const QString& label, QWidget* control) {
  page->addRow(label, control);
}

void OptionsWindow::build_sound_and_window_page() {
  QFormLayout* page = add_page(QString());
  QWidget* parent = page->parentWidget();
  music_volume = volume_slider(parent);
  effects_volume = volume_slider(parent);
  music_volume_shown = new QLabel(parent);
  effects_volume_shown = new QLabel(parent);
  mute = new QCheckBox(parent);
  scale = new QComboBox(parent);
  fullscreen = new QCheckBox(parent);
  language = new QComboBox(parent);
  language->addItem(QString(), static_cast<int>(Language::Auto));
  // Each language by its own name, whichever the window speaks.
  language->addItem(QString::fromUtf8("日本語"), static_cast<int>(Language::Japanese));
  language->addItem("English", static_cast<int>(Language::English));
  for (const std::string& path : installed_sound_fonts()) installed_fonts_ << QString::fromStdString(path);
  speed = new QComboBox(parent);
  for (int32_t percent : kSpeeds) speed->addItem(QString(), percent);
  // Rows with a label get it now (an empty one would make none); the words
  // come with retranslate().
  const QString label = "-";
  add_row(page, label, with_number(parent, music_volume, music_volume_shown));
  add_row(page, label, with_number(parent, effects_volume, effects_volume_shown));
  add_row(page, QString(), mute);
  add_row(page, label, scale);
  add_row(page, QString(), fullscreen);
  add_row(page, label, language);
  sound_font = new QComboBox(parent);
  sound_font_file = new QPushButton(parent);
  auto* fonts = new QWidget(parent);
  auto* fonts_layout = new QHBoxLayout(fonts);
  fonts_layout->setContentsMargins(0, 0, 0, 0);
  fonts_layout->addWidget(sound_font, 1);
  fonts_layout->addWidget(sound_font_file);
  add_row(page, label, fonts);
  connect(sound_font, &QComboBox::activated, this, [this](int index) {
    if (refreshing_) return;
    form_->set_sound_font(sound_font->itemData(index).toString().toStdString());
    refresh();
  });
  connect(sound_font_file, &QPushButton::clicked, this, [this] { choose_sound_font_file(); });
  add_row(page, label, speed);

  // Every control goes through the form's own setter, as its key does.
  connect(music_volume, &QSlider::valueChanged, this, [this](int steps) {
    if (!refreshing_) form_->set_volume(steps * 10, false);
    refresh();
  });
  connect(effects_volume, &QSlider::valueChanged, this, [this](int steps) {
    if (!refreshing_) form_->set_effects_volume(steps * 10);
    refresh();
  });
  connect(mute, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) form_->set_volume(form_->settings().volume, on);
  });
  connect(scale, &QComboBox::activated, this, [this](int index) {
    if (refreshing_) return;
    form_->set_scale(scale->itemData(index).toInt());
    refresh();
  });
  connect(language, &QComboBox::activated, this, [this](int index) {
    if (!refreshing_) form_->set_language(static_cast<Language>(language->itemData(index).toInt()));
  });
  connect(speed, &QComboBox::activated, this, [this](int index) {
    if (!refreshing_) form_->set_speed(speed->itemData(index).toInt());
  });
  connect(fullscreen, &QCheckBox::toggled, this, [this](bool on) {
    if (refreshing_) return;
    form_->set_fullscreen(on);
    refresh();
  });
}

void OptionsWindow::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  const Settings& s = form_->settings();
  music_volume->setValue(s.volume / 10);
  effects_volume->setValue(s.effects_volume / 10);
  music_volume_shown->setText(QString("%1%").arg(s.volume));
  effects_volume_shown->setText(QString("%1%").arg(s.effects_volume));
  mute->setChecked(s.muted);
  scale->clear();
  const int largest = form_->largest_scale();
  for (int k = kMinScale; k <= std::min(largest, kMaxScale); ++k) {
    scale->addItem(tr("%1 倍").arg(k), k);
  }
  scale->setCurrentIndex(scale->findData(form_->shown_scale()));
  // In full screen the scale is the screen's to decide.
  scale->setEnabled(!s.fullscreen);
  fullscreen->setChecked(s.fullscreen);
  language->setCurrentIndex(language->findData(static_cast<int>(s.language)));
  refresh_sound_fonts();
  speed->setCurrentIndex(speed->findData(s.speed));
  refreshing_ = false;
  if (scale_ != form_->shown_scale() || font().pixelSize() != kFontPx * scale_) apply_scale();
}

void OptionsWindow::refresh_sound_fonts() {
  const QString chosen = QString::fromStdString(form_->settings().sound_font);
  const QString playing = QString::fromStdString(form_->sound_font_in_use());
  sound_font->clear();
  // Automatic names the font it found, once the music has one.
  sound_font->addItem(playing.isEmpty() || !chosen.isEmpty() ? tr("自動")
                                                               : tr("自動（%1）").arg(QFileInfo(playing).fileName()),
                      QString());
  QStringList paths = installed_fonts_;
  if (!chosen.isEmpty() && !paths.contains(chosen)) paths << chosen;
  for (const QString& path : paths) {
    sound_font->addItem(QFileInfo(path).fileName(), path);
    sound_font->setItemData(sound_font->count() - 1, path, Qt::ToolTipRole);
  }
  sound_font->setCurrentIndex(std::max(0, sound_font->findData(chosen)));
}

// Any other file, by mouse and keys. Opened without a loop of its own, as
// every box of the game: the options go on answering behind it.
void OptionsWindow::choose_sound_font_file() {
  auto* chooser = new QFileDialog(this, tr("SoundFont を選ぶ"));
  chooser->setAttribute(Qt::WA_DeleteOnClose);
  chooser->setFileMode(QFileDialog::ExistingFile);
  chooser->setNameFilter(tr("SoundFont (*.sf2 *.sf3 *.SF2 *.SF3)"));
  const QString chosen = QString::fromStdString(form_->settings().sound_font);
  chooser->setDirectory(chosen.isEmpty() ? QString("/usr/share/sounds") : QFileInfo(chosen).absolutePath());
  connect(chooser, &QFileDialog::fileSelected, this, [this](const QString& path) {
    if (path.isEmpty() || !sound_font_name(path.toStdString())) return;
    form_->set_sound_font(path.toStdString());
    refresh();
  });
  chooser->open();
}

void OptionsWindow::apply_scale() {
  scale_ = std::max(1, form_->shown_scale());
  const int s = scale_;
  const QFont font = game_font(kFontPx * s);
  setFont(font);
  for (QSlider* slider : {music_volume, effects_volume}) slider->setMinimumWidth(kSliderWidth * s);
  // Room for "100%", so the slider does not move as the number changes.
  for (QLabel* number : {music_volume_shown, effects_volume_shown})
    number->setMinimumWidth(QFontMetrics(font).horizontalAdvance("100%") + 2 * s);
  // A style sheet stops the font passing down to the controls, so it names the
  // font too; the check boxes' and sliders' own drawing does not follow the
  // font at all.
  setStyleSheet(
      QString("* { font-family: \"%5\"; font-size: %6px; }"
              "QCheckBox::indicator { width: %1px; height: %1px; }"
              "QSlider::groove:horizontal { height: %2px; background: #c8c8c8; border-radius: %3px; }"
              "QSlider::handle:horizontal { width: %4px; margin: -%3px 0; background: #3070d0;"
              " border-radius: %3px; }"
              // Every control shows the focus as the menus do, with a thick
              // yellow ring: where Return, Space, the arrows and the pad act.
              // Unfocused, the same ring's place in grey, so nothing moves.
              "QPushButton, QComboBox, QCheckBox, QSlider { border: %7px solid transparent; }"
              "QPushButton, QComboBox { border-color: #a8a8a8; border-radius: %3px; padding: %3px %8px;"
              " background: #f6f6f6; }"
              "QPushButton:focus, QComboBox:focus, QCheckBox:focus, QSlider:focus { border-color: #ffd600; }"
              "QPushButton:pressed { background: #dcdcdc; }")
          .arg(13 * s)
          .arg(4 * s)
          .arg(2 * s)
          .arg(10 * s)
          .arg(font.family())
          .arg(kFontPx * s)
          .arg(3 * s)
          .arg(6 * s));
  layout()->setContentsMargins(8 * s, 8 * s, 8 * s, 8 * s);
  layout()->setSpacing(6 * s);
  for (int i = 0; i < pages->count(); ++i) {
    if (auto* rows = qobject_cast<QFormLayout*>(pages->widget(i)->layout())) {
      rows->setContentsMargins(8 * s, 8 * s, 8 * s, 8 * s);
      rows->setHorizontalSpacing(8 * s);
      rows->setVerticalSpacing(6 * s);
    }
  }
  adjustSize();
  setFixedSize(sizeHint());
  // Centred over the game, wherever the window is now.
  const QRect area = form_->game_area_on_screen();
  move(area.center() - rect().center());
}

}  // namespace quillot
