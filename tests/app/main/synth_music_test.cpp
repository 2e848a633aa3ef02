#include <gtest/gtest.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPaintEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "app/main/first_paint.h"
#include "audio/music_port.h"
#include "audio/module/sound_font.h"
#include "tests/support/private_sound.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

// The music's steps wait for the window's first frame, run once each, in
// order, and a step added after that moment still runs.
TEST(AfterFirstPaint, RunsItsStepsOnceAfterTheFirstPaintInOrder) {
  QWidget window;
  window.resize(100, 80);
  AfterFirstPaint after(window);
  std::vector<int> ran;
  after.then([&] { ran.push_back(1); });
  after.then([&] { ran.push_back(2); });
  QApplication::processEvents();
  EXPECT_TRUE(ran.empty()) << "nothing before the window is painted";

  window.show();
  for (int i = 0; i < 50 && ran.size() < 2; ++i) QApplication::processEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  window.repaint();
  QApplication::processEvents();
  after.then([&] { ran.push_back(3); });
  for (int i = 0; i < 50 && ran.size() < 3; ++i) QApplication::processEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

const std::string kRoot = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path().string();

// Where a file lies in place of the module, as a broken install or the
// player may leave one, it is told in one line that names it and what is
// wrong, nothing of it is opened, and the game goes on in silence. The cut
// rows are the real module cut short: the loader would map pages past their
// end, and the game die of SIGBUS at its first touch of them.
struct ModuleRow {
  const char* name;
  const char* says;  // the words of the reason
  // Puts the file in place; returns why the row cannot be tried here, or "".
  // None: no module is named, and none lies beside the test program.
  std::function<std::string(const std::filesystem::path&)> make;
};

std::string real_module() { return read_file(QUILLOT_TEST_MODULE); }

std::string put(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return {};
}

// Where the real module's last loadable segment ends in its file.
size_t loadable_end(const std::string& module) {
  ElfW(Ehdr) header{};
  std::memcpy(&header, module.data(), sizeof header);
  size_t end = 0;
  for (size_t i = 0; i < header.e_phnum; ++i) {
    ElfW(Phdr) segment{};
    std::memcpy(&segment, module.data() + header.e_phoff + i * sizeof segment, sizeof segment);
    if (segment.p_type == PT_LOAD) end = std::max<size_t>(end, segment.p_offset + segment.p_filesz);
  }
  return end;
}

std::function<std::string(const std::filesystem::path&)> cut_at(std::function<size_t(const std::string&)> size) {
  return [size](const std::filesystem::path& path) {
    const std::string module = real_module();
    return put(path, module.substr(0, size(module)));
  };
}

// Named in the test's name, not dumped as bytes.
void PrintTo(const ModuleRow& row, std::ostream* out) { *out << row.name; }

class BrokenModule : public ::testing::TestWithParam<ModuleRow> {};

TEST_P(BrokenModule, IsToldInOneLineAndTheGameGoesOnInSilence) {
  const ModuleRow& row = GetParam();
  PrivateSound sound(false);
  std::string dir = (std::filesystem::temp_directory_path() / "quillot_module_XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  std::string module;
  if (row.make) {
    module = dir + "/" + audio::kMusicModule;
    const std::string skip = row.make(module);
    if (!skip.empty()) {
      std::filesystem::remove_all(dir);
      GTEST_SKIP() << skip;
    }
  }
  SynthMusic music(
      kRoot + "/dat", [] { return true; }, module);
  music.play_music("5.mid");
  music.set_volume(50, false);
  ::testing::internal::CaptureStderr();
  music.start();
  music.start();
  const std::string said = ::testing::internal::GetCapturedStderr();
  music.play_effect(Sound::Coin);
  music.play_music("1.mid");
  const audio::MusicStatus status = music.status();
  music.set_volume(0, true);
  std::filesystem::remove_all(dir);

  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find(module.empty() ? audio::kMusicModule : module), std::string::npos) << said;
  EXPECT_NE(said.find(row.says), std::string::npos) << said;
  EXPECT_FALSE(status.ready) << "no synth was set up";
  EXPECT_EQ(status.track, "");
  EXPECT_EQ(status.sound_font, "");
  EXPECT_EQ(status.driver, "");
  EXPECT_EQ(status.first_sound_ns, 0);
}

INSTANTIATE_TEST_SUITE_P(
    SynthMusic, BrokenModule,
    ::testing::Values(
        ModuleRow{"NoneBesideTheProgram", "is missing", nullptr},
        ModuleRow{"Missing", "is missing", [](const auto&) { return std::string(); }},
        ModuleRow{"AFolder", "is a folder",
                  [](const auto& path) { return std::filesystem::create_directory(path) ? "" : "no folder"; }},
        ModuleRow{"AFifo", "is a FIFO",
                  [](const auto& path) { return mkfifo(path.c_str(), 0600) == 0 ? "" : "no FIFO here"; }},
        ModuleRow{"Empty", "is empty", [](const auto& path) { return put(path, ""); }},
        ModuleRow{"NotAnElfFile", "no ELF header",
                  [](const auto& path) { return put(path, read_file(kRoot + "/tests/audio/test_gm.sf2")); }},
        ModuleRow{"CutAt4096", "cut short", cut_at([](const std::string&) { return 4096; })},
        ModuleRow{"CutAt20000", "cut short", cut_at([](const std::string&) { return 20000; })},
        ModuleRow{"CutJustBeforeItsLastSegmentEnds", "cut short",
                  cut_at([](const std::string& module) { return loadable_end(module) - 1; })},
        ModuleRow{"Unreadable", "Permission denied",
                  [](const auto& path) {
                    if (::geteuid() == 0) return std::string("root reads a file of mode 000 all the same");
                    put(path, real_module());
                    std::filesystem::permissions(path, std::filesystem::perms::none);
                    return std::string();
                  }}),
    [](const ::testing::TestParamInfo<ModuleRow>& row) { return std::string(row.param.name); });

// The game's module, named by its file, into a private sound server: the
// first track asked for plays through the system's SoundFont and reaches the
// server, and the next one asked for takes its place. Where the machine has no
// SoundFont nothing is heard and the game goes on all the same.
TEST(SynthMusic, ItsModulePlaysThroughTheSystemsSoundFontOrGoesOnInSilence) {
  PrivateSound sound(true);
  if (!sound.server_running()) GTEST_SKIP() << sound.why_not();
  std::string expected;
  for (const auto& path : audio::sound_font_candidates()) {
    if (audio::check_sound_font(path).usable()) {
      expected = path;
      break;
    }
  }
  RecordProperty("sound_font", expected.empty() ? "none" : expected);
  // The calls the window makes, in its order: the first track asked for while
  // it is built, the volumes, the module opened after the first paint; then,
  // once the music is up, the game's next track.
  SynthMusic music(
      kRoot + "/dat", [] { return true; }, QUILLOT_TEST_MODULE);
  music.play_music("5.mid");
  music.set_volume(50, false);
  music.set_effects_volume(100, false);
  music.start();
  music.play_effect(Sound::Coin);
  auto up = [](const audio::MusicStatus& status) {
    return status.ready && (status.sound_font.empty() || status.first_sound_ns != 0);
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!up(music.status()) && std::chrono::steady_clock::now() < deadline) {
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  music.play_music("1.mid");
  const audio::MusicStatus status = music.status();
  EXPECT_TRUE(status.ready);
  EXPECT_EQ(status.sound_font, expected);
  EXPECT_EQ(status.driver, "pulseaudio") << "a device is opened, with or without a font: the effects need none";
  EXPECT_EQ(status.track, "1.mid");
  if (expected.empty()) {
    EXPECT_EQ(status.first_sound_ns, 0) << "no SoundFont, no sound";
  } else {
    EXPECT_GT(status.first_sound_ns, 0) << "the first track reached the server";
  }
}

}  // namespace
}  // namespace quillot
