#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/action.h"

namespace quillot {


// A key as the player pressed it: Qt's key code, and the keyboard's scan
// code where the platform gives one (0 otherwise). A binding with a scan code
// follows the key's place on the keyboard, so the default A/D and Z/X sit
// under the same fingers on every layout; without one, the key code counts.
struct BoundKey {
  int key = 0;
  uint32_t scan = 0;
  bool operator==(const BoundKey&) const = default;
  bool matches(int pressed_key, uint32_t pressed_scan) const {
    return scan != 0 && pressed_scan != 0 ? scan == pressed_scan : key == pressed_key;
  }
};

// A pad button by the game-controller layout's numbering (South is 0).
enum class PadButton : uint8_t {
  South,
  East,
  West,
  North,
  Back,
  Guide,
  Start,
  LeftStick,
  RightStick,
  LeftShoulder,
  RightShoulder,
  Up,
  Down,
  Left,
  Right,
};
constexpr size_t kPadButtonCount = 15;

// Why a key or button could not be bound.
enum class BindRefusal : uint8_t {
  None,
  Reserved,     // the window's own: F1, F2, F11, Esc and the shortcuts' modifiers
  Taken,        // one key does one thing
  Full,         // kMaxPerAction already
  NotBindable,  // the action takes no key
  NoName,       // the key has no name the settings file could keep it by
};

// Every key and pad button the player has bound, by action. The help, the
// usage text and the settings file all read this table.
struct Bindings {
  // Keys or buttons per action at most; more are ignored.
  static constexpr size_t kMaxPerAction = 3;

  std::array<std::vector<BoundKey>, kActionCount> keys;
  std::array<std::vector<PadButton>, kActionCount> pad;

  static Bindings defaults();
  std::optional<Action> key_action(int key, uint32_t scan) const;
  std::optional<Action> pad_action(PadButton button) const;

  // Binds one more key or button to an action, or says why not.
  BindRefusal bind_key(Action action, BoundKey key);
  BindRefusal bind_pad(Action action, PadButton button);
  bool operator==(const Bindings&) const = default;
};

// Help has no key of its own: F1 is the window's, and stays so.
bool key_bindable(Action action);
// An action as the controls page names it, in the language in use.
QString action_label(Action action);

// The names the settings file gives actions, keys and buttons.
const char* action_name(Action action);
// "Left", "A@38", "Space"; "#N" for a key whose name would not read back.
QString key_name(const BoundKey& key);
// A key by name, or by number as "#N": only a code a keyboard sends, without
// modifier bits, so no value of the file binds a key no one can press.
std::optional<BoundKey> parse_key(const QString& name);
// Whether the key has a name of its own that reads back as the same key.
bool key_has_name(const BoundKey& key);
const char* pad_name(PadButton button);  // SDL's names: "a", "start", "dpleft"
std::optional<PadButton> parse_pad(const QString& name);

// How the help shows them: "←", "A", "Space"; "A", "START", "RB".
QString shown_key(const BoundKey& key);
QString shown_pad(PadButton button);

// The [keys] and [pad] groups of the settings file, as name and value pairs
// (a value lists keys separated by spaces or commas). Unknown names, keys the
// window keeps, keys already taken and keys past the limit are ignored and
// named in `ignored`; an action without an entry keeps its default keys, less
// those the file gave to another action.
Bindings read_bindings(const std::vector<std::pair<QString, QString>>& keys,
                       const std::vector<std::pair<QString, QString>>& pad, QStringList* ignored);
// Only keys whose names read back as the same key are written.
std::vector<std::pair<QString, QString>> format_key_bindings(const Bindings& b);
std::vector<std::pair<QString, QString>> format_pad_bindings(const Bindings& b);

// The bindings in the settings file in effect; the file is read as the other
// settings are (a broken one gives the defaults). Anything ignored is said in
// one warning on stderr.
Bindings load_bindings();
// Writes the entries of the actions whose keys or buttons differ from
// `known` (what the file held when this game last read or wrote it; without
// it, what the file holds now), each in its line, keeping every other line of
// [keys] and [pad]. An action back at its defaults loses its entry, and a
// group left empty goes, so a later change of the defaults reaches the player.
bool save_bindings(const Bindings& bindings, const std::optional<Bindings>& known = std::nullopt);

// The help's text, an HTML table of what each key and button does, and the
// usage text's plain lines about keys; both name the bindings in effect.
QString help_text(const Bindings& b);
std::string usage_keys(const Bindings& b);

}  // namespace quillot
