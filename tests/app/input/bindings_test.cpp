#include "app/input/bindings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/input/keys.h"
#include "app/options/settings.h"
#include "files/settings_file.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

// Defaults follow the key's place: the key under the left hand's A on a
// QWERTY keyboard moves left whatever its layout prints on it. X11 numbers:
// 24 is the key right of Tab, 29 the one left of U, 38 A's, 52 Z's.
TEST(Bindings, DefaultKeysFollowTheirPlaceOnTheKeyboardWhereThereIsAScanCode) {
  const Bindings b = Bindings::defaults();
  struct Case {
    const char* what;
    int key;
    uint32_t scan;
    std::optional<Action> expected;
  };
  const Case cases[] = {
      {"QWERTY A", Qt::Key_A, 38, Action::Left},
      {"AZERTY: Q lies where A does", Qt::Key_Q, 38, Action::Left},
      {"AZERTY: A lies where Q does", Qt::Key_A, 24, std::nullopt},
      {"AZERTY: W lies where Z does", Qt::Key_W, 52, Action::Fire},
      {"QWERTZ: Y lies where Z does", Qt::Key_Y, 52, Action::Fire},
      {"QWERTZ: Z lies where Y does", Qt::Key_Z, 29, std::nullopt},
      {"no scan code: the key counts", Qt::Key_A, 0, Action::Left},
      {"no scan code: Z fires", Qt::Key_Z, 0, Action::Fire},
      {"arrows by key whatever the scan code", Qt::Key_Right, 114, Action::Right},
      {"P by its letter", Qt::Key_P, 24, Action::Pause},
      {"F1 is the window's", Qt::Key_F1, 67, Action::Help},
  };
  for (const Case& c : cases)
    EXPECT_EQ(key_action(b, c.key, c.scan, Qt::NoModifier), c.expected) << c.what;
}

// The player's file is read as any other file of theirs: whatever it holds,
// the game starts with keys that work, one thing to a key, and says once
// what it ignored.
TEST(Bindings, AHostileSettingsFileLeavesUsableBindings) {
  const fs::path home = scratch_folder("bindings");
  const ScopedEnv config("XDG_CONFIG_HOME", home.string());
  fs::create_directories(home / "quillot");
  std::ofstream(home / "quillot" / "quillot.conf") << "[window]\nscale=2\n"
                                                      "[keys]\n"
                                                      "left=Q@24 Left Nonsense\n"
                                                      "fire=\"J, Left, F1, Escape, Ctrl+K\"\n"
                                                      "bomb=K L Home End\n"
                                                      "Jump=W\n"
                                                      "help=H\n"
                                                      "pause=P@0 Tab@99999\n"
                                                      "mute=#2147483647 #0\n"
                                                      "[pad]\n"
                                                      "fire=x, a\n"
                                                      "bomb=x\n"
                                                      "help=\n"
                                                      "dance=a\n";
  testing::internal::CaptureStderr();
  const Bindings b = load_bindings();
  const std::string warning = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
  EXPECT_LE(warning.size(), 200u) << "one line, however much the file holds";
  for (const char* named : {"Jump", "Nonsense (unknown key name)", "F1", " more\n"})
    EXPECT_NE(warning.find(named), std::string::npos) << named << " in " << warning;
  // The whole list, as the warning would give it on a terminal wide enough.
  QStringList ignored;
  const IniFile ini = read_settings_file();
  auto group = [&ini](const char* name) {
    std::vector<std::pair<QString, QString>> out;
    for (const auto& [k, v] : ini.values(name)) {
      QString value = QString::fromStdString(v);
      if (value.startsWith('"') && value.endsWith('"')) value = value.mid(1, value.size() - 2);
      out.emplace_back(QString::fromStdString(k), value);
    }
    return out;
  };
  EXPECT_EQ(read_bindings(group("keys"), group("pad"), &ignored).keys, b.keys);
  for (const char* named :
       {"Nonsense (unknown key name)", "F1", "Escape", "Ctrl+K", "Jump", "help", "dance", "P@0",
        "Tab@99999", "#2147483647 (unknown key name)"})
    EXPECT_NE(ignored.join(", ").indexOf(named), -1) << named;

  struct Case {
    int key;
    uint32_t scan;
    std::optional<Action> expected;
  };
  const Case keys[] = {
      {Qt::Key_Q, 24, Action::Left},     {Qt::Key_Left, 0, Action::Left}, {Qt::Key_J, 0, Action::Fire},
      {Qt::Key_K, 0, Action::Bomb},      {Qt::Key_L, 0, Action::Bomb},    {Qt::Key_Home, 0, Action::Bomb},
      {Qt::Key_End, 0, std::nullopt},     // past three to an action
      {Qt::Key_A, 38, std::nullopt},      // the file gave left its own keys
      {Qt::Key_Z, 52, std::nullopt},      // nor does fire keep Z
      {Qt::Key_Right, 0, Action::Right},  // no entry: the defaults
      {Qt::Key_P, 0, Action::Pause},      // an entry with no usable key keeps the defaults
      {Qt::Key_M, 0, Action::Mute},       // a number with modifier bits is no key
  };
  for (const Case& c : keys) EXPECT_EQ(b.key_action(c.key, c.scan), c.expected) << c.key;
  EXPECT_EQ(b.pad[static_cast<size_t>(Action::Fire)], (std::vector{PadButton::West, PadButton::South}));
  EXPECT_EQ(b.pad_action(PadButton::East), Action::Bomb) << "x was fire's: bomb keeps its defaults";
  EXPECT_EQ(b.pad_action(PadButton::Back), Action::Help) << "an empty entry keeps the defaults";

  // What the file now holds comes back as it was written, and the help and
  // the usage name the keys in effect.
  ASSERT_TRUE(save_bindings(b));
  EXPECT_EQ(load_bindings(), b);
  EXPECT_NE(help_text(b).indexOf(QString::fromUtf8("マウス / Q →")), -1) << help_text(b).toStdString();
  EXPECT_NE(usage_keys(b).find("J でショット、K / L / Home でボム"), std::string::npos) << usage_keys(b);
  // The pad's buttons by the help's names, without its padding.
  EXPECT_NE(usage_keys(b).find("ショット: X / A\n"), std::string::npos) << usage_keys(b);
  EXPECT_NE(usage_keys(b).find("左へ: 十字← / 左スティック\n"), std::string::npos) << usage_keys(b);
  EXPECT_EQ(usage_keys(b).find("\u3000"), std::string::npos) << usage_keys(b);
  Bindings rebound = b;
  EXPECT_EQ(rebound.bind_key(Action::Mute, {Qt::Key_J, 0}), BindRefusal::Taken);
  EXPECT_EQ(rebound.bind_key(Action::Mute, {Qt::Key_F2, 68}), BindRefusal::Reserved);
  EXPECT_EQ(rebound.bind_key(Action::Help, {Qt::Key_H, 43}), BindRefusal::NotBindable);
  ASSERT_TRUE(save_bindings(Bindings::defaults()));
  const std::string text = read_file(home / "quillot" / "quillot.conf");
  for (const char* entry : {"\nleft=", "\nfire=\"", "\nbomb=K", "\nfire=x"})
    EXPECT_EQ(text.find(entry), std::string::npos) << entry << ": the defaults need no entry\n" << text;
  EXPECT_NE(text.find("Jump=W"), std::string::npos) << "what the game does not know stays";
  EXPECT_NE(text.find("scale=2"), std::string::npos) << "the other settings stay";
  fs::remove_all(home);
}

}  // namespace
}  // namespace quillot
