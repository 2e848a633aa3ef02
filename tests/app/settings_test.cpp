#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <filesystem>
#include <fstream>

#include "session/file_read.h"
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
    old_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home_.string()));
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", old_);
    fs::remove_all(home_);
  }
  fs::path file() const { return home_ / "quillot" / "quillot.conf"; }
  void write(const std::string& text) { std::ofstream(file(), std::ios::binary) << text; }

  fs::path home_;
  QByteArray old_;
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
      {"[General]\nlanguage= ja \n", {.language = Language::Japanese}},
      {"[General]\nlanguage=klingon\n", {}},
      {"\xff\xfe garbage [[[\n=\n", {}},
  };
  for (const Case& c : cases) {
    write(c.text);
    EXPECT_EQ(load_settings(), c.expected) << c.text;
  }
}

TEST_F(SettingsFile, SomethingElseInPlaceOfTheFileGivesDefaultsAndIsLeftAlone) {
  // A directory, a FIFO (which would block a plain read forever) and a huge file.
  fs::create_directory(file());
  EXPECT_EQ(load_settings(), Settings{});
  EXPECT_FALSE(save_settings(Settings{.scale = 2}));
  EXPECT_TRUE(fs::is_directory(file()));
  fs::remove(file());

  ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
  EXPECT_EQ(load_settings(), Settings{});
  EXPECT_FALSE(save_settings(Settings{.scale = 2}));
  EXPECT_TRUE(fs::is_fifo(file()));
  const FileRead r = read_regular_file(file().string(), 100);
  EXPECT_EQ(r.error, ENODEV);
  fs::remove(file());

  write("[window]\nscale=2\n" + std::string(100000, '#'));
  EXPECT_EQ(load_settings(), Settings{});
}

TEST(FileRead, ReadsAtMostTheLimitAndSaysSo) {
  const fs::path f = fs::temp_directory_path() / ("quillot-read-" + std::to_string(::getpid()));
  std::ofstream(f, std::ios::binary) << "0123456789";
  EXPECT_EQ(read_regular_file(f.string(), 10).bytes, "0123456789");
  EXPECT_FALSE(read_regular_file(f.string(), 10).truncated);
  const FileRead cut = read_regular_file(f.string(), 4);
  EXPECT_EQ(cut.bytes, "0123");
  EXPECT_TRUE(cut.truncated);
  EXPECT_EQ(read_regular_file(fs::temp_directory_path().string(), 4).error, EISDIR);
  EXPECT_EQ(read_regular_file((f / "x").string(), 4).error, ENOTDIR);
  fs::remove(f);
  EXPECT_EQ(read_regular_file(f.string(), 4).error, ENOENT);
}

}  // namespace
}  // namespace quillot
