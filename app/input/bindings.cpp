#include "app/input/bindings.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "files/ini_file.h"
#include "files/settings_file.h"

namespace quillot {

namespace {

struct ActionRow {
  Action action;
  const char* name;   // in the settings file
  const char* label;  // on the controls page and in the help
};

constexpr std::array<ActionRow, kActionCount> kActions{{
    {Action::Left, "left", QT_TRANSLATE_NOOP("quillot", "左へ")},
    {Action::Right, "right", QT_TRANSLATE_NOOP("quillot", "右へ")},
    {Action::Fire, "fire", QT_TRANSLATE_NOOP("quillot", "ショット")},
    {Action::Bomb, "bomb", QT_TRANSLATE_NOOP("quillot", "ボム")},
    {Action::Pause, "pause", QT_TRANSLATE_NOOP("quillot", "一時停止")},
    {Action::Help, "help", QT_TRANSLATE_NOOP("quillot", "この説明")},
    {Action::Mute, "mute", QT_TRANSLATE_NOOP("quillot", "音を消す")},
    {Action::VolumeDown, "volume_down", QT_TRANSLATE_NOOP("quillot", "音量を下げる")},
    {Action::VolumeUp, "volume_up", QT_TRANSLATE_NOOP("quillot", "音量を上げる")},
}};

struct PadRow {
  PadButton button;
  const char* name;   // SDL's, as in its mapping strings
  const char* shown;  // as printed on the common pads
};

constexpr std::array<PadRow, kPadButtonCount> kPadButtons{{
    {PadButton::South, "a", "A"},
    {PadButton::East, "b", "B"},
    {PadButton::West, "x", "X"},
    {PadButton::North, "y", "Y"},
    {PadButton::Back, "back", "BACK"},
    {PadButton::Guide, "guide", "GUIDE"},
    {PadButton::Start, "start", "START"},
    {PadButton::LeftStick, "leftstick", "L3"},
    {PadButton::RightStick, "rightstick", "R3"},
    {PadButton::LeftShoulder, "leftshoulder", "LB"},
    {PadButton::RightShoulder, "rightshoulder", "RB"},
    {PadButton::Up, "dpup", QT_TRANSLATE_NOOP("quillot", "十字↑")},
    {PadButton::Down, "dpdown", QT_TRANSLATE_NOOP("quillot", "十字↓")},
    {PadButton::Left, "dpleft", QT_TRANSLATE_NOOP("quillot", "十字←")},
    {PadButton::Right, "dpright", QT_TRANSLATE_NOOP("quillot", "十字→")},
}};

// X11's key codes (the evdev scan code plus 8) of the keys under A, D, Z and
// X on a QWERTY keyboard; Wayland gives the same numbers.
constexpr uint32_t kScanA = 38, kScanD = 40, kScanZ = 52, kScanX = 53;

size_t index(Action a) { return static_cast<size_t>(a); }

// Keys the window keeps: the help, the options, full screen and leaving it,
// the menus' Tab, and the modifiers its shortcuts are made of.
bool reserved(int key) {
  switch (key) {
    case 0:
    case Qt::Key_unknown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F1:
    case Qt::Key_F2:
    case Qt::Key_F11:
    case Qt::Key_Escape:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
      return true;
    default:
      return false;
  }
}

std::optional<Action> find_action(const QString& name) {
  const QString n = name.trimmed().toLower();
  for (const ActionRow& row : kActions)
    if (n == QLatin1String(row.name)) return row.action;
  return std::nullopt;
}

QStringList tokens(const QString& value) {
  static const QRegularExpression separators("[\\s,]+");
  return value.split(separators, Qt::SkipEmptyParts);
}

QString reason(BindRefusal r) {
  switch (r) {
    case BindRefusal::Reserved:
      return "kept by the window";
    case BindRefusal::Taken:
      return "already taken";
    case BindRefusal::Full:
      return "too many";
    case BindRefusal::NotBindable:
      return "takes no key";
    case BindRefusal::NoName:
      return "no name to keep it by";
    case BindRefusal::None:
      break;
  }
  return {};
}

// Entries are taken in the order of the actions, not the file's, so which of
// two actions gets a key both name does not depend on how the file is sorted.
template <typename T, typename Parse, typename Bind>
void read_group(const std::vector<std::pair<QString, QString>>& entries, const char* group, Parse parse,
                Bind bind, std::array<bool, kActionCount>& given, QStringList* ignored) {
  const QString unknown = std::is_same_v<T, BoundKey> ? "unknown key name" : "unknown button name";
  for (const auto& [name, value] : entries) {
    if (!find_action(name) && ignored != nullptr) *ignored << QString("[%1] %2").arg(group, name);
  }
  for (const ActionRow& row : kActions) {
    for (const auto& [name, value] : entries) {
      if (find_action(name) != row.action) continue;
      for (const QString& token : tokens(value)) {
        const std::optional<T> item = parse(token);
        const BindRefusal r = item ? bind(row.action, *item) : BindRefusal::None;
        if (ignored != nullptr && (!item || r != BindRefusal::None)) {
          *ignored << QString("[%1] %2: %3 (%4)").arg(group, name, token, item ? reason(r) : unknown);
        }
        if (item && r == BindRefusal::None) given[index(row.action)] = true;
      }
    }
  }
}

QString joined(const std::vector<QString>& names, const QString& separator) {
  QStringList out;
  for (const QString& n : names) out << n;
  return out.join(separator);
}

std::vector<QString> shown_keys(const Bindings& b, Action a) {
  std::vector<QString> out;
  for (const BoundKey& k : b.keys[index(a)]) out.push_back(shown_key(k));
  return out;
}

std::vector<QString> shown_pads(const Bindings& b, Action a) {
  std::vector<QString> out;
  for (PadButton p : b.pad[index(a)]) out.push_back(shown_pad(p));
  return out;
}

}  // namespace

Bindings Bindings::defaults() {
  Bindings b;
  b.keys[index(Action::Left)] = {{Qt::Key_Left, 0}, {Qt::Key_A, kScanA}};
  b.keys[index(Action::Right)] = {{Qt::Key_Right, 0}, {Qt::Key_D, kScanD}};
  b.keys[index(Action::Fire)] = {{Qt::Key_Z, kScanZ}, {Qt::Key_Space, 0}};
  b.keys[index(Action::Bomb)] = {{Qt::Key_X, kScanX}};
  b.keys[index(Action::Pause)] = {{Qt::Key_P, 0}, {Qt::Key_Pause, 0}};
  b.keys[index(Action::Mute)] = {{Qt::Key_M, 0}};
  b.keys[index(Action::VolumeDown)] = {{Qt::Key_Minus, 0}};
  b.keys[index(Action::VolumeUp)] = {{Qt::Key_Plus, 0}, {Qt::Key_Equal, 0}};
  b.pad[index(Action::Left)] = {PadButton::Left};
  b.pad[index(Action::Right)] = {PadButton::Right};
  b.pad[index(Action::Fire)] = {PadButton::South};
  b.pad[index(Action::Bomb)] = {PadButton::East, PadButton::RightShoulder};
  b.pad[index(Action::Pause)] = {PadButton::Start};
  b.pad[index(Action::Help)] = {PadButton::Back};
  return b;
}

std::optional<Action> Bindings::key_action(int key, uint32_t scan) const {
  for (const ActionRow& row : kActions) {
    for (const BoundKey& k : keys[index(row.action)])
      if (k.matches(key, scan)) return row.action;
  }
  return std::nullopt;
}

std::optional<Action> Bindings::pad_action(PadButton button) const {
  for (const ActionRow& row : kActions) {
    const auto& list = pad[index(row.action)];
    if (std::find(list.begin(), list.end(), button) != list.end()) return row.action;
  }
  return std::nullopt;
}

BindRefusal Bindings::bind_key(Action action, BoundKey key) {
  if (!key_bindable(action)) return BindRefusal::NotBindable;
  if (reserved(key.key)) return BindRefusal::Reserved;
  if (key_action(key.key, key.scan)) return BindRefusal::Taken;
  auto& list = keys[index(action)];
  if (list.size() >= kMaxPerAction) return BindRefusal::Full;
  list.push_back(key);
  return BindRefusal::None;
}

BindRefusal Bindings::bind_pad(Action action, PadButton button) {
  if (pad_action(button)) return BindRefusal::Taken;
  auto& list = pad[index(action)];
  if (list.size() >= kMaxPerAction) return BindRefusal::Full;
  list.push_back(button);
  return BindRefusal::None;
}

bool key_bindable(Action action) { return action != Action::Help; }

const char* action_name(Action action) { return kActions[index(action)].name; }

QString action_label(Action action) {
  return QCoreApplication::translate("quillot", kActions[index(action)].label);
}

namespace {

// The key's own name, without its scan code.
QString portable_name(int key) {
  // A comma would part a value of the settings file in two.
  return key == Qt::Key_Comma ? QString("Comma") : QKeySequence(key).toString(QKeySequence::PortableText);
}

// Whether `name` is one token of a value that parse_key reads as `key`:
// "Volume Mute" is two, and a dead key's name may read as another key.
bool reads_back(const QString& name, int key) {
  const QStringList parts = tokens(name);
  if (parts.size() != 1 || parts[0] != name || name.contains('@') || name.contains('"')) return false;
  const auto back = parse_key(name);
  return back && back->key == key;
}

}  // namespace

bool key_has_name(const BoundKey& key) { return reads_back(portable_name(key.key), key.key); }

QString key_name(const BoundKey& key) {
  QString name = portable_name(key.key);
  if (!reads_back(name, key.key)) name = QString("#%1").arg(key.key);
  if (key.scan != 0) name += QString("@%1").arg(key.scan);
  return name;
}

std::optional<BoundKey> parse_key(const QString& text) {
  BoundKey out;
  QString name = text.trimmed();
  if (const qsizetype at = name.lastIndexOf('@'); at > 0) {
    bool ok = false;
    const uint32_t scan = name.mid(at + 1).toUInt(&ok);
    if (!ok || scan == 0 || scan > 0xFFFF) return std::nullopt;
    out.scan = scan;
    name.truncate(at);
  }
  if (name.compare("Comma", Qt::CaseInsensitive) == 0) {
    out.key = Qt::Key_Comma;
  } else if (name.startsWith('#')) {
    bool ok = false;
    out.key = name.mid(1).toInt(&ok);
    if (!ok) return std::nullopt;
  } else {
    const QKeySequence seq = QKeySequence::fromString(name, QKeySequence::PortableText);
    // One key, without modifiers: those belong to the window's shortcuts.
    if (seq.count() != 1 || seq[0].keyboardModifiers() != Qt::NoModifier) return std::nullopt;
    out.key = seq[0].key();
  }
  // Qt's key codes lie below Key_unknown; the bits above are modifiers.
  if (out.key <= 0 || out.key >= Qt::Key_unknown || (out.key & Qt::KeyboardModifierMask) != 0)
    return std::nullopt;
  return out;
}

const char* pad_name(PadButton button) { return kPadButtons[static_cast<size_t>(button)].name; }

std::optional<PadButton> parse_pad(const QString& name) {
  const QString n = name.trimmed().toLower();
  for (const PadRow& row : kPadButtons)
    if (n == QLatin1String(row.name)) return row.button;
  return std::nullopt;
}

QString shown_key(const BoundKey& key) {
  switch (key.key) {
    case Qt::Key_Left:
      return QString::fromUtf8("←");
    case Qt::Key_Right:
      return QString::fromUtf8("→");
    case Qt::Key_Up:
      return QString::fromUtf8("↑");
    case Qt::Key_Down:
      return QString::fromUtf8("↓");
    default: {
      // Qt cannot name a scan code in the layout in effect: a default key is
      // named by its QWERTY label, a rebound one by what its press produced.
      const QString name = QKeySequence(key.key).toString(QKeySequence::NativeText);
      return name.isEmpty() ? QString("#%1").arg(key.key) : name;
    }
  }
}

QString shown_pad(PadButton button) {
  return QCoreApplication::translate("quillot", kPadButtons[static_cast<size_t>(button)].shown);
}

Bindings read_bindings(const std::vector<std::pair<QString, QString>>& keys,
                       const std::vector<std::pair<QString, QString>>& pad, QStringList* ignored) {
  Bindings out;
  std::array<bool, kActionCount> keys_given{}, pad_given{};
  read_group<BoundKey>(
      keys, "keys", parse_key, [&out](Action a, BoundKey k) { return out.bind_key(a, k); }, keys_given,
      ignored);
  read_group<PadButton>(
      pad, "pad", parse_pad, [&out](Action a, PadButton p) { return out.bind_pad(a, p); }, pad_given,
      ignored);
  // The defaults fill what the file leaves out; one it gave away stays with
  // the action it went to.
  const Bindings d = Bindings::defaults();
  for (const ActionRow& row : kActions) {
    const size_t i = index(row.action);
    if (!keys_given[i])
      for (const BoundKey& k : d.keys[i]) out.bind_key(row.action, k);
    if (!pad_given[i])
      for (PadButton p : d.pad[i]) out.bind_pad(row.action, p);
  }
  return out;
}

std::vector<std::pair<QString, QString>> format_key_bindings(const Bindings& b) {
  std::vector<std::pair<QString, QString>> out;
  for (const ActionRow& row : kActions) {
    if (!key_bindable(row.action)) continue;
    QStringList names;
    for (const BoundKey& k : b.keys[index(row.action)]) {
      const QString name = key_name(k);
      if (parse_key(name) == k) names << name;
    }
    out.emplace_back(row.name, names.join(' '));
  }
  return out;
}

std::vector<std::pair<QString, QString>> format_pad_bindings(const Bindings& b) {
  std::vector<std::pair<QString, QString>> out;
  for (const ActionRow& row : kActions) {
    QStringList names;
    for (PadButton p : b.pad[index(row.action)]) names << pad_name(p);
    out.emplace_back(row.name, names.join(' '));
  }
  return out;
}

namespace {

std::vector<std::pair<QString, QString>> group(const IniFile& ini, const char* name) {
  std::vector<std::pair<QString, QString>> out;
  for (const auto& [key, value] : ini.values(name)) {
    QString v = QString::fromStdString(value);
    // A value may stand in quotes, as other INI writers put a list with commas.
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"')) v = v.mid(1, v.size() - 2);
    out.emplace_back(QString::fromStdString(key), v);
  }
  return out;
}

}  // namespace

// Through the settings file's own reader and writer: bounded, never through
// a link and never waiting on a lock.
Bindings load_bindings() {
  const IniFile ini = read_settings_file();
  QStringList ignored;
  const Bindings b = read_bindings(group(ini, "keys"), group(ini, "pad"), &ignored);
  // One line of a terminal's width or two, whatever the file holds: the
  // entries that fit, then how many more.
  if (!ignored.isEmpty()) {
    constexpr size_t kRoom = 150;
    std::string line;
    qsizetype shown = 0;
    for (; shown < ignored.size(); ++shown) {
      const std::string item = one_line(ignored[shown].toStdString(), 60);
      if (shown > 0 && line.size() + item.size() + 2 > kRoom) break;
      line += (shown > 0 ? ", " : "") + item;
    }
    if (shown < ignored.size()) line += " and " + std::to_string(ignored.size() - shown) + " more";
    std::fprintf(stderr, "quillot: quillot.conf: ignored %s\n", line.c_str());
  }
  return b;
}

namespace {

// Rewrites the entries of one group whose values differ from `known`, each
// in its place; an entry back at its default goes.
void change_group(IniFile& ini, const char* name, const std::vector<std::pair<QString, QString>>& now,
                  const std::vector<std::pair<QString, QString>>& known,
                  const std::vector<std::pair<QString, QString>>& defaults) {
  for (size_t i = 0; i < now.size(); ++i) {
    if (now[i].second == known[i].second) continue;
    const std::string action = now[i].first.toStdString();
    if (now[i].second == defaults[i].second) {
      ini.remove(name, action);
    } else {
      ini.set(name, action, now[i].second.toStdString());
    }
    // The same action written another way ("Left = ...") would be read too.
    for (const auto& [key, value] : ini.values(name))
      if (key != action && find_action(QString::fromStdString(key)) == find_action(now[i].first))
        ini.remove(name, key);
  }
}

}  // namespace

bool save_bindings(const Bindings& bindings, const std::optional<Bindings>& known) {
  const Bindings d = Bindings::defaults();
  return change_settings_file([&](IniFile& ini) {
    const Bindings was = known ? *known : read_bindings(group(ini, "keys"), group(ini, "pad"), nullptr);
    change_group(ini, "keys", format_key_bindings(bindings), format_key_bindings(was), format_key_bindings(d));
    change_group(ini, "pad", format_pad_bindings(bindings), format_pad_bindings(was), format_pad_bindings(d));
  });
}

namespace {

// Left and right in pairs, as the keys lie under the hand: "← →", "A D".
QString move_keys(const Bindings& b) {
  QStringList move;
  const auto& left = b.keys[index(Action::Left)];
  const auto& right = b.keys[index(Action::Right)];
  for (size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    QStringList pair;
    if (i < left.size()) pair << shown_key(left[i]);
    if (i < right.size()) pair << shown_key(right[i]);
    move << pair.join(' ');
  }
  return move.join(" / ");
}

// The non-empty ones, as one list.
QString any_of(QStringList parts) {
  parts.removeAll(QString());
  return parts.join(" / ");
}

}  // namespace

QString help_text(const Bindings& b) {
  auto keys = [&b](Action a) { return joined(shown_keys(b, a), " / "); };
  auto pads = [&b](Action a) { return joined(shown_pads(b, a), " / "); };
  struct Row {
    QString what, keys, pad;
  };
  std::vector<Row> rows = {
      {QCoreApplication::translate("quillot", "移動"),
       any_of({QCoreApplication::translate("quillot", "マウス"), move_keys(b)}),
       any_of({QCoreApplication::translate("quillot", "左スティック"),
               joined(shown_pads(b, Action::Left), " "), joined(shown_pads(b, Action::Right), " ")})},
      {action_label(Action::Fire),
       any_of({QCoreApplication::translate("quillot", "左クリック"), keys(Action::Fire)}),
       pads(Action::Fire)},
      {action_label(Action::Bomb),
       any_of({QCoreApplication::translate("quillot", "右クリック"), keys(Action::Bomb)}),
       pads(Action::Bomb)},
      {action_label(Action::Pause),
       QCoreApplication::translate("quillot", "%1（クリックで再開）")
           .arg(any_of({keys(Action::Pause), "Esc"})),
       pads(Action::Pause)},
      {action_label(Action::Mute), keys(Action::Mute), pads(Action::Mute)},
      {QCoreApplication::translate("quillot", "音楽の音量"),
       any_of({keys(Action::VolumeDown), keys(Action::VolumeUp)}),
       any_of({pads(Action::VolumeDown), pads(Action::VolumeUp)})},
      {QCoreApplication::translate("quillot", "効果音の音量"), "Shift+- / Shift++", {}},
      {QCoreApplication::translate("quillot", "画面の大きさ"),
       QCoreApplication::translate("quillot", "Ctrl+1～Ctrl+4 / Ctrl+- / Ctrl++"),
       {}},
      {QCoreApplication::translate("quillot", "フルスクリーン"),
       QCoreApplication::translate("quillot", "F11 / Alt+Enter（Escで戻る）"),
       {}},
      {QCoreApplication::translate("quillot", "設定"), "F2", {}},
      {action_label(Action::Help), "F1", pads(Action::Help)},
      {QCoreApplication::translate("quillot", "終了"), "Ctrl+Q", {}},
  };
  // The menus of the title, the shop and the stories, and the boxes: the
  // pad's buttons are those that fire and bomb, as the router reads them.
  std::vector<Row> menu = {
      {QCoreApplication::translate("quillot", "選ぶ"),
       QCoreApplication::translate("quillot", "Tab / 矢印キー"),
       QCoreApplication::translate("quillot", "十字キー / 左スティック")},
      {QCoreApplication::translate("quillot", "押す"), "Return / Space", pads(Action::Fire)},
      {QCoreApplication::translate("quillot", "閉じる・いいえ"), "Esc", pads(Action::Bomb)},
      {QCoreApplication::translate("quillot", "この説明を閉じる"), "Esc / Return",
       QCoreApplication::translate("quillot", "十字キー以外のボタン")},
  };
  // A table keeps the columns aligned in every font and language, and no
  // cell breaks: a line breaks only where a row ends.
  auto cell = [](const QString& text, const char* tag = "td") {
    return QString("<%1 align=\"left\" style=\"white-space:nowrap; padding-right:0.8em\">%2</%1>")
        .arg(tag, text.toHtmlEscaped());
  };
  auto table = [&cell](const std::vector<Row>& part) {
    QString out;
    for (const Row& r : part) out += "<tr>" + cell(r.what) + cell(r.keys) + cell(r.pad) + "</tr>";
    return out;
  };
  const QString head = "<tr>" + cell(QCoreApplication::translate("quillot", "◆操作方法"), "th") +
                       cell(QCoreApplication::translate("quillot", "キーとマウス"), "th") +
                       cell(QCoreApplication::translate("quillot", "ゲームパッド"), "th") + "</tr>";
  const QString menu_head =
      "<tr>" + cell(QCoreApplication::translate("quillot", "◆メニュー"), "th") + "</tr>";
  return "<table cellspacing=\"0\" cellpadding=\"1\">" + head + table(rows) + menu_head + table(menu) +
         "</table>";
}

std::string usage_keys(const Bindings& b) {
  auto names = [&b](Action a) {
    QStringList out;
    for (const BoundKey& k : b.keys[index(a)])
      out << QKeySequence(k.key).toString(QKeySequence::PortableText);
    return out.isEmpty() ? QCoreApplication::translate("quillot", "なし") : out.join(" / ");
  };
  QString text =
      QCoreApplication::translate(
          "quillot",
          "キー: %1 と %2 で移動、%3 でショット、%4 でボム。%5 か Esc で一時停止。\n"
          "%6 で音を消す、%7 と %8 で音楽の音量、Shift と - + で効果音の音量。\n"
          "Ctrl+1～Ctrl+4、Ctrl+-、Ctrl++ で画面の大きさ。F11 か Alt+Enter でフルスクリーン。\n"
          "F1 で操作方法、F2 で設定、Ctrl+Q で終了。\n")
          .arg(names(Action::Left), names(Action::Right), names(Action::Fire), names(Action::Bomb),
               names(Action::Pause), names(Action::Mute), names(Action::VolumeDown), names(Action::VolumeUp));
  // The pad's buttons by the names the help gives them, one action a line.
  text += QCoreApplication::translate("quillot", "ゲームパッド:\n");
  for (const ActionRow& row : kActions) {
    QStringList buttons;
    for (PadButton p : b.pad[index(row.action)]) buttons << shown_pad(p);
    if (row.action == Action::Left || row.action == Action::Right)
      buttons << QCoreApplication::translate("quillot", "左スティック");
    if (buttons.isEmpty()) continue;
    text += QString("  %1: %2\n").arg(action_label(row.action), buttons.join(" / "));
  }
  text += QCoreApplication::translate(
      "quillot", "キーとパッドのボタンは設定ファイルの [keys] と [pad] で変えられます。\n");
  return text.toStdString();
}

}  // namespace quillot
