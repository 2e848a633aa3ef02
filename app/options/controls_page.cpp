#include "app/options/controls_page.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>
#include <type_traits>

#include "app/options/options_host.h"

namespace quillot {

namespace {

// Every action, in the order of its rows.
constexpr std::array<Action, kActionCount> kAll = [] {
  std::array<Action, kActionCount> all{};
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<Action>(i);
  return all;
}();

size_t at(Action a) { return static_cast<size_t>(a); }

// What binding a key and binding a pad button differ in.
struct KeyKind {
  using Item = BoundKey;
  static std::vector<BoundKey>& list(Bindings& b, Action a) { return b.keys[at(a)]; }
  static bool same(const BoundKey& k, const BoundKey& pressed) { return k.matches(pressed.key, pressed.scan); }
  // A key the settings file could not name back would be lost at the next start.
  static BindRefusal bind(Bindings& b, Action a, BoundKey k) {
    return key_has_name(k) ? b.bind_key(a, k) : BindRefusal::NoName;
  }
  static std::optional<Action> owner(const Bindings& b, BoundKey k) { return b.key_action(k.key, k.scan); }
  static QString shown(const BoundKey& k) { return shown_key(k); }
};
struct PadKind {
  using Item = PadButton;
  static std::vector<PadButton>& list(Bindings& b, Action a) { return b.pad[at(a)]; }
  static bool same(PadButton p, PadButton pressed) { return p == pressed; }
  static BindRefusal bind(Bindings& b, Action a, PadButton p) { return b.bind_pad(a, p); }
  static std::optional<Action> owner(const Bindings& b, PadButton p) { return b.pad_action(p); }
  static QString shown(PadButton p) { return shown_pad(p); }
};

// An action's key or pad button: as wide as the longest of its texts, the
// one it shows while it waits included, so the window, sized once for a
// scale, never cuts it.
class BindingButton : public QPushButton {
 public:
  BindingButton(const char* waiting, QWidget* parent) : QPushButton(parent), waiting_(waiting) {}
  QSize sizeHint() const override {
    QSize size = QPushButton::sizeHint();
    const QFontMetrics metrics(font());
    const QString waiting = QCoreApplication::translate("quillot", waiting_);
    size.rwidth() += std::max(0, metrics.horizontalAdvance(waiting) - metrics.horizontalAdvance(text()));
    return size;
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 private:
  const char* waiting_;
};

const char* const kPressKey = QT_TRANSLATE_NOOP("quillot", "キーを押す…");
const char* const kPressButton = QT_TRANSLATE_NOOP("quillot", "ボタンを押す…");

}  // namespace

ControlsPage::ControlsPage(OptionsHost* form, QWidget* parent) : QWidget(parent), form_(form) {
  auto* grid = new QGridLayout(this);
  keys_heading_ = new QLabel(this);
  pads_heading_ = new QLabel(this);
  grid->addWidget(keys_heading_, 0, 1);
  grid->addWidget(pads_heading_, 0, 2);
  for (Action a : kAll) {
    const int row = static_cast<int>(at(a)) + 1;
    names_[at(a)] = new QLabel(this);
    grid->addWidget(names_[at(a)], row, 0);
    if (key_bindable(a)) {
      auto* b = new BindingButton(kPressKey, this);
      b->installEventFilter(this);
      connect(b, &QPushButton::clicked, this, [this, a] { wait_for_key(a); });
      grid->addWidget(b, row, 1);
      key_buttons[at(a)] = b;
    } else {
      grid->addWidget(new QLabel("F1"), row, 1);
    }
    auto* p = new BindingButton(kPressButton, this);
    p->installEventFilter(this);
    connect(p, &QPushButton::clicked, this, [this, a] { wait_for_pad(a); });
    grid->addWidget(p, row, 2);
    pad_buttons[at(a)] = p;
  }
  const int last = static_cast<int>(kActionCount) + 1;
  status = new QLabel(this);
  status->setWordWrap(true);
  grid->addWidget(status, last, 0, 1, 3);
  reset = new QPushButton(this);
  connect(reset, &QPushButton::clicked, this, [this] {
    form_->set_bindings(Bindings::defaults());
    status->setText(QCoreApplication::translate("quillot", "初期設定に戻しました。"));
    refresh();
  });
  grid->addWidget(reset, last + 1, 0, 1, 3);
  retranslate();
}

void ControlsPage::retranslate() {
  keys_heading_->setText(QCoreApplication::translate("quillot", "キー"));
  pads_heading_->setText(QCoreApplication::translate("quillot", "ゲームパッド"));
  for (Action a : kAll) names_[at(a)]->setText(action_label(a));
  reset->setText(QCoreApplication::translate("quillot", "キーとボタンを初期設定に戻す"));
  refresh();
}

void ControlsPage::refresh() {
  const Bindings& b = form_->bindings();
  for (Action a : kAll) {
    if (QPushButton* k = key_buttons[at(a)]) {
      QStringList names;
      for (const BoundKey& key : b.keys[at(a)]) names << shown_key(key);
      k->setText(waiting_ == static_cast<int>(at(a)) ? QCoreApplication::translate("quillot", kPressKey)
                 : names.isEmpty()                   ? QCoreApplication::translate("quillot", "なし")
                                                     : names.join(" / "));
    }
    QStringList pads;
    for (PadButton p : b.pad[at(a)]) pads << shown_pad(p);
    pad_buttons[at(a)]->setText(pads.isEmpty() ? QCoreApplication::translate("quillot", "なし")
                                               : pads.join(" / "));
  }
  // A third key can make a button wider than the window was made for.
  if (QWidget* w = window(); w != this && w->isVisible()) {
    const QSize need = w->sizeHint();
    if (need.width() > w->width() || need.height() > w->height()) w->setFixedSize(need.expandedTo(w->size()));
  }
}

void ControlsPage::wait_for_key(Action action) {
  form_->capture_pad(nullptr, nullptr);
  pad_waiting_ = -1;
  waiting_ = static_cast<int>(at(action));
  status->setText(
      QCoreApplication::translate("quillot", "「%1」にするキーを押してください。").arg(action_label(action)));
  refresh();
}

void ControlsPage::wait_for_pad(Action action) {
  status->setText(QCoreApplication::translate("quillot", "「%1」にするパッドのボタンを押してください。")
                      .arg(action_label(action)));
  waiting_ = -1;
  refresh();
  listen_for_pad(action);
}

void ControlsPage::listen_for_pad(Action action) {
  pad_waiting_ = static_cast<int>(at(action));
  pad_buttons[at(action)]->setText(QCoreApplication::translate("quillot", kPressButton));
  // The page may be closed before a button comes: the button then plays.
  form_->capture_pad(this,
                     [this, action](PadButton button) { take<PadKind>(action, button, shown_pad(button)); });
}

bool ControlsPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || (waiting_ < 0 && pad_waiting_ < 0))
    return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  // Esc stops the wait, for a key or a pad button, and leaves the bindings be.
  if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
    waiting_ = pad_waiting_ = -1;
    form_->capture_pad(nullptr, nullptr);
    status->setText(QCoreApplication::translate("quillot", "キーはそのままです。"));
    refresh();
    return true;
  }
  if (waiting_ < 0) return QWidget::eventFilter(watched, event);
  if (key->isAutoRepeat()) return true;
  const auto action = static_cast<Action>(waiting_);
  // The window's shortcuts are made with Ctrl and Alt: no binding has them.
  // A refused key leaves the button waiting for another.
  if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0) {
    say(BindRefusal::Reserved, QKeySequence(key->keyCombination()).toString(QKeySequence::NativeText),
        action);
    return true;
  }
  waiting_ = -1;
  take<KeyKind>(action, {key->key(), key->nativeScanCode()}, shown_key({key->key(), 0}));
  return true;
}

template <typename Kind>
void ControlsPage::take(Action action, typename Kind::Item item, const QString& shown) {
  pad_waiting_ = -1;
  Bindings b = form_->bindings();
  auto& list = Kind::list(b, action);
  const auto own = std::find_if(list.begin(), list.end(), [&](const auto& k) { return Kind::same(k, item); });
  QString done;
  if (own != list.end()) {
    // The action's own, pressed again, comes off: each key and button is
    // removed as it was added, by pressing it.
    done = QCoreApplication::translate("quillot", "%1 を外しました。").arg(Kind::shown(*own));
    list.erase(own);
  } else if (const BindRefusal r = Kind::bind(b, action, item); r != BindRefusal::None) {
    if (r == BindRefusal::Full) {
      status->setText(
          QCoreApplication::translate("quillot", "「%1」は %2 つまでです。外すものを押してください。")
              .arg(action_label(action))
              .arg(Bindings::kMaxPerAction));
    } else {
      say(r, shown, Kind::owner(form_->bindings(), item));
    }
    // Refused, the button waits on for another.
    if constexpr (std::is_same_v<Kind, KeyKind>) {
      waiting_ = static_cast<int>(at(action));
      refresh();
    } else {
      listen_for_pad(action);
    }
    return;
  }
  form_->set_bindings(b);
  QStringList now;
  for (const auto& k : list) now << Kind::shown(k);
  status->setText(done + QCoreApplication::translate("quillot", "「%1」は %2 になりました。")
                             .arg(action_label(action), now.isEmpty()
                                                            ? QCoreApplication::translate("quillot", "なし")
                                                            : now.join(" / ")));
  refresh();
}

void ControlsPage::say(BindRefusal r, const QString& name, std::optional<Action> owner) {
  if (r == BindRefusal::Taken) {
    status->setText(QCoreApplication::translate("quillot", "%1 はもう「%2」に使われています。")
                        .arg(name, (owner ? action_label(*owner)
                                          : QCoreApplication::translate("quillot", "ほかの操作"))));
  } else if (r == BindRefusal::Reserved) {
    status->setText(QCoreApplication::translate(
                        "quillot", "%1 はウィンドウのキーなので使えません（F1, F2, F11, Esc, Ctrl, Alt）。")
                        .arg(name));
  } else if (r == BindRefusal::NoName) {
    status->setText(QCoreApplication::translate("quillot", "%1 は名前のないキーなので覚えておけません。").arg(name));
  } else {
    status->setText(QCoreApplication::translate("quillot", "%1 は使えません。").arg(name));
  }
}

}  // namespace quillot
