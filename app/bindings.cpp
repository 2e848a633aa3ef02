#include "app/bindings.h"

#include <QFileInfo>
#include <QKeySequence>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>
#include <cstdio>

#include "app/settings.h"
#include "session/file_read.h"

namespace quillot {

namespace {

struct ActionRow {
  Action action;
  const char* name;     // in the settings file
  const char* label;    // in the help, padded to the help's column
  const char* english;  // in the usage text
};

constexpr std::array<ActionRow, kActionCount> kActions{{
    {Action::Left, "left", "左", "moves left"},
    {Action::Right, "right", "右", "moves right"},
    {Action::Fire, "fire", "ショット", "shoots"},
    {Action::Bomb, "bomb", "ボム", "bombs"},
    {Action::Pause, "pause", "一時停止", "pauses"},
    {Action::Help, "help", "この説明", "shows the controls"},
    {Action::Mute, "mute", "音を消す", "mutes"},
    {Action::VolumeDown, "volume_down", "音量を下げる", "lowers the volume"},
    {Action::VolumeUp, "volume_up", "音量を上げる", "raises the volume"},
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
    {PadButton::Up, "dpup", "十字↑"},
    {PadButton::Down, "dpdown", "十字↓"},
    {PadButton::Left, "dpleft", "十字←"},
    {PadButton::Right, "dpright", "十字→"},
}};

// X11's key codes (the evdev scan code plus 8) of the keys under A, D, Z and
// X on a QWERTY keyboard; Wayland gives the same numbers.
constexpr uint32_t kScanA = 38, kScanD = 40, kScanZ = 52, kScanX = 53;

size_t index(Action a) { return static_cast<size_t>(a); }

// Keys the window keeps: the help, the options, full screen and leaving it,
// and the modifiers its shortcuts are made of.
bool reserved(int key) {
  switch (key) {
    case 0:
    case Qt::Key_unknown:
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
          *ignored
              << QString("[%1] %2: %3%4").arg(group, name, token, item ? " (" + reason(r) + ")" : QString());
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

QString key_name(const BoundKey& key) {
  // A comma would part a value of the settings file in two.
  QString name = key.key == Qt::Key_Comma ? QString("Comma")
                                          : QKeySequence(key.key).toString(QKeySequence::PortableText);
  if (name.isEmpty()) name = QString("#%1").arg(key.key);
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
    if (!ok || out.key <= 0) return std::nullopt;
  } else {
    const QKeySequence seq = QKeySequence::fromString(name, QKeySequence::PortableText);
    // One key, without modifiers: those belong to the window's shortcuts.
    if (seq.count() != 1 || seq[0].keyboardModifiers() != Qt::NoModifier) return std::nullopt;
    out.key = seq[0].key();
  }
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
  return QString::fromUtf8(kPadButtons[static_cast<size_t>(button)].shown);
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
    for (const BoundKey& k : b.keys[index(row.action)]) names << key_name(k);
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

// Far more than the few lines the game writes, as for the other settings.
constexpr qint64 kMaxSettingsBytes = 64 * 1024;

// QSettings would block on a FIFO and read a huge file whole.
bool usable(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return true;
  if (is_non_regular(QFile::encodeName(path).toStdString())) return false;
  return info.size() <= kMaxSettingsBytes;
}

std::vector<std::pair<QString, QString>> group(QSettings& s, const char* name) {
  std::vector<std::pair<QString, QString>> out;
  s.beginGroup(name);
  for (const QString& key : s.childKeys()) {
    // An unquoted comma makes the value a list.
    const QVariant v = s.value(key);
    out.emplace_back(key, v.typeId() == QMetaType::QStringList ? v.toStringList().join(' ') : v.toString());
  }
  s.endGroup();
  return out;
}

}  // namespace

Bindings load_bindings() {
  const QString path = settings_path();
  if (!usable(path)) return Bindings::defaults();
  QSettings s(path, QSettings::IniFormat);
  if (s.status() != QSettings::NoError) return Bindings::defaults();
  QStringList ignored;
  const Bindings b = read_bindings(group(s, "keys"), group(s, "pad"), &ignored);
  if (!ignored.isEmpty()) {
    std::fprintf(stderr, "quillot: %s: ignored %s\n", qPrintable(QFileInfo(path).fileName()),
                 qPrintable(ignored.join(", ")));
  }
  return b;
}

bool save_bindings(const Bindings& bindings) {
  const QString path = settings_path();
  if (!usable(path)) return false;
  QSettings s(path, QSettings::IniFormat);
  const Bindings d = Bindings::defaults();
  s.remove("keys");
  if (bindings.keys != d.keys) {
    for (const auto& [name, value] : format_key_bindings(bindings)) s.setValue("keys/" + name, value);
  }
  s.remove("pad");
  if (bindings.pad != d.pad) {
    for (const auto& [name, value] : format_pad_bindings(bindings)) s.setValue("pad/" + name, value);
  }
  s.sync();
  return s.status() == QSettings::NoError;
}

QString help_text(const Bindings& b) {
  auto keys = [&b](Action a) {
    return b.keys[index(a)].empty() ? QString::fromUtf8("なし") : joined(shown_keys(b, a), " ");
  };
  auto pads = [&b](Action a) { return joined(shown_pads(b, a), " / "); };
  auto with = [](const QString& first, const QString& rest) {
    return rest.isEmpty() ? first : first + " / " + rest;
  };
  // Left and right in pairs, as the keys lie under the hand.
  QStringList move;
  const auto& left = b.keys[index(Action::Left)];
  const auto& right = b.keys[index(Action::Right)];
  for (size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    QStringList pair;
    if (i < left.size()) pair << shown_key(left[i]);
    if (i < right.size()) pair << shown_key(right[i]);
    move << pair.join(' ');
  }
  QStringList lines;
  lines << QString::fromUtf8("◆操作方法") << QString();
  lines << with(QString::fromUtf8("移動　　　マウス"), move.join(" / "));
  lines << with(QString::fromUtf8("ショット　左クリック"), joined(shown_keys(b, Action::Fire), " / "));
  lines << with(QString::fromUtf8("ボム　　　右クリック"), joined(shown_keys(b, Action::Bomb), " / "));
  lines << QString();
  std::vector<QString> pause = shown_keys(b, Action::Pause);
  pause.push_back("Esc");
  lines << QString::fromUtf8("一時停止　%1（クリックで再開）").arg(joined(pause, " / "));
  lines << QString::fromUtf8("音を消す　%1").arg(keys(Action::Mute));
  lines << QString::fromUtf8("音楽の音量　%1 / %2").arg(keys(Action::VolumeDown), keys(Action::VolumeUp));
  lines << QString::fromUtf8("効果音の音量　Shift+- / Shift++");
  lines << QString::fromUtf8("設定　　　F2");
  lines << QString::fromUtf8("画面の大きさ　Ctrl+1～Ctrl+4 / Ctrl+- / Ctrl++");
  lines << QString::fromUtf8("フルスクリーン　F11 / Alt+Enter（Escで戻る）");
  lines << QString::fromUtf8("この説明　F1");
  lines << QString::fromUtf8("終了　　　Ctrl+Q");
  lines << QString() << QString::fromUtf8("◆ゲームパッド");
  QStringList pad_move{QString::fromUtf8("左スティック")};
  for (Action a : {Action::Left, Action::Right})
    if (!b.pad[index(a)].empty()) pad_move << joined(shown_pads(b, a), " ");
  lines << QString::fromUtf8("移動　　　") + pad_move.join(" / ");
  for (const ActionRow& row : kActions) {
    if (row.action == Action::Left || row.action == Action::Right || b.pad[index(row.action)].empty())
      continue;
    // The labels' column is five full-width characters wide, as above.
    const QString label = QString::fromUtf8(row.label);
    lines << label + QString(std::max<qsizetype>(1, 5 - label.size()), QChar(0x3000)) + pads(row.action);
  }
  lines << QString::fromUtf8("メニュー　十字キー / 左スティックで選び、%1で押す").arg(pads(Action::Fire));
  return lines.join('\r');
}

std::string usage_keys(const Bindings& b) {
  auto names = [&b](Action a) {
    QStringList out;
    for (const BoundKey& k : b.keys[index(a)])
      out << QKeySequence(k.key).toString(QKeySequence::PortableText);
    return out.isEmpty() ? QString("(no key)") : out.join(" or ");
  };
  auto pads = [&b](Action a) {
    QStringList out;
    for (PadButton p : b.pad[index(a)]) out << pad_name(p);
    return out.join(" or ");
  };
  QString text =
      QString(
          "Keys: %1 and %2 move, %3 shoots, %4 bombs; %5 or Esc pauses;\n"
          "%6 mutes, %7 and %8 set the music's volume, Shift with - and + the effects';\n"
          "Ctrl+1..Ctrl+4, Ctrl+- and Ctrl++ set the scale; F11 or Alt+Enter toggles full screen;\n"
          "F1 shows the controls; F2 opens the options; Ctrl+Q quits.\n")
          .arg(names(Action::Left), names(Action::Right), names(Action::Fire), names(Action::Bomb),
               names(Action::Pause), names(Action::Mute), names(Action::VolumeDown), names(Action::VolumeUp));
  QStringList pad;
  for (const ActionRow& row : kActions)
    if (!b.pad[index(row.action)].empty()) pad << pads(row.action) + " " + row.english;
  text += "Gamepad: the left stick moves; " + pad.join(", ") + ".\n";
  text += "Keys and pad buttons can be rebound in the [keys] and [pad] groups of the settings file.\n";
  return text.toStdString();
}

}  // namespace quillot
