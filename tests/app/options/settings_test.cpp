#include "app/options/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/input/bindings.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

// A config home of its own, so no test reads or writes the player's.
class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = scratch_folder("settings");
    fs::create_directories(home_ / "quillot");
    config_.emplace("XDG_CONFIG_HOME", home_.string());
  }
  void TearDown() override {
    config_.reset();
    fs::remove_all(home_);
  }
  fs::path file() const { return home_ / "quillot" / "quillot.conf"; }
  void write(const std::string& text) { std::ofstream(file(), std::ios::binary) << text; }

  fs::path home_;
  std::optional<ScopedEnv> config_;
};

TEST_F(SettingsFile, RoundTripAndDefaults) {
  EXPECT_EQ(settings_path().toStdString(), file().string());
  EXPECT_EQ(load_settings(), Settings{});
  const Settings chosen{
      .scale = 3, .fullscreen = true, .volume = 40, .muted = true, .language = Language::English};
  ASSERT_TRUE(save_settings(chosen));
  EXPECT_EQ(load_settings(), chosen);
}

TEST_F(SettingsFile, BrokenValuesAreClampedOrDefaulted) {
  struct Case {
    const char* text;
    Settings expected;
  } cases[] = {
      {"[window]\nscale=99\nfullscreen=yes\n[sound]\nvolume=-5\nmuted=1\n",
       {.scale = 4, .fullscreen = false, .volume = 0, .muted = true}},
      {"[window]\nscale=-2147483648\n[sound]\nvolume=47\n", {.scale = 0, .volume = 50}},
      {"[window]\nscale=abc\n[sound]\nvolume=99999999999999999999\n", {}},
      {"[general]\nlanguage= ja \n", {.language = Language::Japanese}},
      {"[general]\nlanguage=klingon\n", {}},
      // Only the paces the game has: a hand-edited one lands on the nearest.
      {"[game]\nspeed=10\n", {.speed = 50}},
      {"[game]\nspeed=74\n", {.speed = 70}},
      {"[game]\nspeed=400\n", {.speed = 100}},
      {"\xff\xfe garbage [[[\n=\n", {}},
  };
  for (const Case& c : cases) {
    write(c.text);
    EXPECT_EQ(load_settings(), c.expected) << c.text;
  }
}

TEST_F(SettingsFile, SomethingElseInPlaceOfTheFileGivesDefaultsAndIsLeftAlone) {
  const fs::path victim = home_ / "victim";
  const std::string lock = file().string() + ".lock";
  const struct {
    const char* name;
    std::function<void()> arrange;
    bool written;
    const char* says = nullptr;  // in the one line on stderr, when it is not written
  } cases[] = {
      {"a folder", [&] { fs::create_directory(file()); }, false},
      // A plain read would wait for a writer for ever.
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0); }, false},
      {"a dangling link", [&] { fs::create_symlink(victim, file()); }, false},
      {"a link to the player's file",
       [&] {
         std::ofstream(victim) << "keep";
         fs::create_symlink(victim, file());
       },
       false},
      {"a huge file", [&] { write("[window]\nscale=2\n" + std::string(100000, '#')); }, false, "too large"},
      // The reader would ignore the whole file from the next start on.
      {"a file the change would take past the limit",
       [&] { write("; " + std::string(64 * 1024 - 40, 'x') + "\n"); }, false, "larger than 64 KiB"},
      {"a UTF-16 file", [&] { write(std::string("\xff\xfe[\0w\0]\0\n\0", 10)); }, false, "UTF-16"},
      {"NUL bytes", [&] { write(std::string("[window]\n\0\n", 11)); }, false, "NUL"},
      {"a file in place of the folder",
       [&] {
         fs::remove_all(home_ / "quillot");
         std::ofstream(home_ / "quillot") << "mine";
       },
       false, "quillot is not a folder"},
      {"a folder name that drives the terminal",
       [&] {
         write("");
         config_->set((home_.string() + "/" + std::string(5000, 'x') + "/\x1b]0;owned\x07").c_str());
       },
       false,
       "\\x1b]0;owned\\x07"},
      {"an empty file", [&] { write(""); }, true},
      // Settings are written without a lock, so nothing at the lock's old place holds a key.
      {"a FIFO at the old lock", [&] { ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0); }, true},
      {"a folder at the old lock", [&] { fs::create_directory(lock); }, true},
      {"a link at the old lock", [&] { fs::create_symlink("/nonexistent/x", lock); }, true},
      {"garbage", [&] { write("\xff\xfe garbage [[[\n=\n"); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(file());
    fs::remove_all(lock);
    fs::remove(victim);
    c.arrange();
    const auto type = fs::symlink_status(file()).type();
    const std::string before = fs::is_regular_file(file()) ? read_file(file()) : "";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(load_settings(), Settings{});
    testing::internal::CaptureStderr();
    EXPECT_EQ(save_settings(Settings{.scale = 2}), c.written);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    config_->set(home_.string().c_str());
    EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_LE(said.size(), 200u) << said;
    EXPECT_EQ(std::count_if(said.begin(), said.end(), [](char ch) { return ch != '\n' && ch >= 0 && ch < 0x20; }), 0)
        << said;
    if (c.says != nullptr) {
      EXPECT_NE(said.find(c.says), std::string::npos) << said;
    }
    if (c.written) {
      EXPECT_EQ(load_settings(), Settings{.scale = 2});
    } else {
      EXPECT_EQ(fs::symlink_status(file()).type(), type) << "left as it was";
      if (type == fs::file_type::regular) {
        EXPECT_EQ(read_file(file()), before);
      }
      EXPECT_TRUE(!fs::exists(victim) || read_file(victim) == "keep") << "never written through a link";
    }
    if (!fs::is_directory(home_ / "quillot")) {
      fs::remove(home_ / "quillot");
      fs::create_directories(home_ / "quillot");
      std::ofstream(file()) << "";
    }
    fs::remove_all(lock);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(home_ / "quillot")) ++entries;
    EXPECT_EQ(entries, 1) << "no temporary is left behind";
  }
}

TEST_F(SettingsFile, WhatTheGameDoesNotKnowIsKeptInItsPlace) {
  // Values of a newer game, a comment and a value written by hand.
  write("; mine\n[keys]\nleft=Left\n\n[window]\nscale=1\nshader = crt\n\n[pad]\nfire=A\n");
  ASSERT_TRUE(save_settings(Settings{.scale = 3, .volume = 60}));
  EXPECT_EQ(
      read_file(file()),
      "; mine\n[keys]\nleft=Left\n\n[window]\nscale=3\nshader = crt\nfullscreen=false\n\n[pad]\nfire=A\n"
      "\n[sound]\nvolume=60\nmuted=false\neffects_volume=100\nsoundfont=\n\n[general]\nlanguage=auto\n\n[game]\nspeed=100\n");
  EXPECT_EQ(load_settings(), (Settings{.scale = 3, .volume = 60}));

  // A change rewrites its own line and nothing else, byte for byte, in the
  // file as it stands when the change is written.
  const Settings was{.scale = 2, .volume = 50};
  auto bound = [](Action a, std::vector<BoundKey> keys) {
    Bindings known = load_bindings();
    Bindings b = known;
    b.keys[static_cast<size_t>(a)] = std::move(keys);
    return save_bindings(b, known);
  };
  const struct {
    const char* name;
    std::string before;
    std::function<bool()> change;
    std::string after;
  } rows[] = {
      {"CR LF, a byte-order mark before the first group, comments and unknown keys",
       "\xEF\xBB\xBF[sound]\r\n; loud\r\nvolume = 50\r\nreverb=on\r\n\r\n[window]\r\nscale=2\r\n[later]\r\nx=1",
       [&] { return save_settings(Settings{.scale = 2, .volume = 60}, was); },
       "\xEF\xBB\xBF[sound]\r\n; loud\r\nvolume=60\r\nreverb=on\r\n\r\n[window]\r\nscale=2\r\n[later]\r\nx=1"},
      {"a new line takes the file's line end", "[window]\r\nscale=2",
       [&] { return save_settings(Settings{.scale = 2, .fullscreen = true, .volume = 50}, was); },
       "[window]\r\nscale=2\r\nfullscreen=true\r\n"},
      {"another game's change since start-up stays", "[window]\nscale=4\n[sound]\nvolume=50\n",
       [&] {
         SettingsKeeper keeper(was, was);
         keeper.set(&Settings::volume, 30);
         keeper.flush();
         return keeper.writes() == 1;
       },
       "[window]\nscale=4\n[sound]\nvolume=30\n"},
      {"a key changed: its entry alone, in its group",
       "[keys]\r\n; mine\r\nleft=Q@24 Left\r\njump=W\r\n\r\n[pad]\r\nfire=x\r\n",
       [&] { return bound(Action::Bomb, {{Qt::Key_K, 0}}); },
       "[keys]\r\n; mine\r\nleft=Q@24 Left\r\njump=W\r\nbomb=K\r\n\r\n[pad]\r\nfire=x\r\n"},
      {"a key back at its default: its entry goes",
       "[keys]\r\n; mine\r\nleft=Q@24 Left\r\njump=W\r\n\r\n[pad]\r\nfire=x\r\n",
       [&] { return bound(Action::Left, Bindings::defaults().keys[static_cast<size_t>(Action::Left)]); },
       "[keys]\r\n; mine\r\njump=W\r\n\r\n[pad]\r\nfire=x\r\n"},
  };
  for (const auto& r : rows) {
    write(r.before);
    EXPECT_TRUE(r.change()) << r.name;
    EXPECT_EQ(read_file(file()), r.after) << r.name;
  }
}

}  // namespace
}  // namespace quillot
