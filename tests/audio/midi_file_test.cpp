#include "audio/module/midi_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <random>

#include "audio/module/engine.h"
#include "audio/module/music.h"
#include "tests/audio/audio_support.h"

namespace quillot::audio {
namespace {

using Bytes = std::vector<uint8_t>;

// A format-1 file at 480 ticks per quarter with the given track chunks.
Bytes file_with(const std::vector<Bytes>& tracks, Bytes chunks_before = {}) {
  Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<uint8_t>(tracks.size()), 0x01, 0xE0};
  file.insert(file.end(), chunks_before.begin(), chunks_before.end());
  for (const auto& body : tracks) {
    const auto size = static_cast<uint32_t>(body.size());
    file.insert(file.end(),
                {'M', 'T', 'r', 'k', static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                 static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)});
    file.insert(file.end(), body.begin(), body.end());
  }
  return file;
}

Bytes with_byte(Bytes bytes, std::size_t at, uint8_t value) {
  bytes[at] = value;
  return bytes;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes then_end(Bytes body) {
  body.insert(body.end(), kEnd.begin(), kEnd.end());
  return body;
}

struct Case {
  const char* what;
  Bytes bytes;
  int64_t end_tick;  // -1: refused
};

TEST(InspectMidi, AcceptsWellFormedFilesAndRefusesMalformedOnes) {
  const Bytes good = testing::chord_midi(480);
  const Bytes notes = {0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0};  // C4 for 480 ticks
  const Case cases[] = {
      {"a held chord", good, 480},
      {"running status across note-ons and note-offs",
       file_with({then_end({0x00, 0x90, 60, 100, 0x00, 64, 100, 0x60, 60, 0, 0x60, 64, 0})}), 192},
      {"the longest track sets the end", file_with({then_end(notes), then_end({0x8F, 0x00, 0x90, 60, 1})}),
       1920},
      {"a foreign chunk before the track",
       file_with({then_end(notes)}, {'X', 'T', 'R', 'A', 0, 0, 0, 2, 7, 7}), 480},
      {"a track without End of Track ends at its last event", file_with({notes}), 480},
      {"system exclusive", file_with({then_end({0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7})}), 0},
      {"nothing at all", {}, -1},
      {"a header and no track", Bytes(good.begin(), good.begin() + 14), -1},
      {"not a MIDI file", with_byte(good, 0, 'X'), -1},
      {"a header seven bytes long", with_byte(good, 7, 7), -1},
      {"format 2", with_byte(good, 9, 2), -1},
      {"no tracks", with_byte(good, 11, 0), -1},
      {"129 tracks", with_byte(with_byte(good, 10, 0), 11, 129), -1},
      {"SMPTE time", with_byte(good, 12, 0xE7), -1},
      {"zero ticks per quarter", with_byte(with_byte(good, 12, 0), 13, 0), -1},
      {"a track chunk longer than the file", with_byte(good, 21, static_cast<uint8_t>(good[21] + 1)), -1},
      {"a track chunk cut inside an event", file_with({{0x00, 0x90, 60}}), -1},
      {"data before any status", file_with({then_end({0x00, 60, 100})}), -1},
      {"a delta time of five bytes", file_with({then_end({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1})}), -1},
      {"a status byte where data belongs", file_with({then_end({0x00, 0x90, 60, 0x80})}), -1},
      {"a system common message", file_with({then_end({0x00, 0xF1, 0x00})}), -1},
      {"a tempo of zero", file_with({then_end({0x00, 0xFF, 0x51, 0x03, 0, 0, 0})}), -1},
      {"an End of Track with a payload", file_with({{0x00, 0xFF, 0x2F, 0x01, 0x00}}), -1},
      {"a meta event running past its chunk", file_with({{0x00, 0xFF, 0x01, 0x10, 'a'}}), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto info = inspect_midi(c.bytes);
    ASSERT_EQ(info.has_value(), c.end_tick >= 0);
    if (info) {
      EXPECT_EQ(info->end_tick, c.end_tick);
    }
  }
}

// The presets a file makes the synth select are read ahead of its start, so
// a preset missed here would be read on the rendering thread, mid-track.
TEST(InspectMidi, FindsEveryPresetAFileSelects) {
  using Presets = std::vector<Preset>;
  struct PresetCase {
    const char* what;
    Bytes body;
    Presets presets;
    uint16_t default_channels;
  };
  const PresetCase cases[] = {
      {"a program change", {0x00, 0xC0, 40}, {{0, 40}}, 0},
      {"a bank select before it", {0x00, 0xB1, 0, 8, 0x00, 0xC1, 4}, {{8, 4}}, 0},
      {"the drum channel ignores bank selects", {0x00, 0xB9, 0, 0, 0x00, 0xC9, 25}, {{kDrumBank, 25}}, 0},
      {"running status after a program change", {0x00, 0xC2, 10, 0x00, 11, 0x00, 10}, {{0, 10}, {0, 11}}, 0},
      {"a note before any program: the first preset",
       {0x00, 0x93, 60, 100, 0x00, 0x99, 36, 100},
       {{0, 0}, {kDrumBank, 0}},
       (1u << 3) | (1u << 9)},
      {"a note-off or a silent note-on selects nothing", {0x00, 0x84, 60, 0, 0x00, 0x94, 60, 0}, {}, 0},
      {"a note after the program change", {0x00, 0xC5, 73, 0x00, 0x95, 60, 100}, {{0, 73}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto info = inspect_midi(file_with({then_end(c.body)}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->presets, c.presets);
    EXPECT_EQ(info->default_channels, c.default_channels);
  }

  // Every shipped track names its instruments, and they are few.
  for (int n = 1; n <= 8; ++n) {
    const auto track = load_track((testing::source_root() / "dat").string(), std::to_string(n) + ".mid");
    ASSERT_TRUE(track) << n;
    EXPECT_EQ(track->info.default_channels, 0) << n;
    EXPECT_GE(track->info.presets.size(), 4u) << n;
    EXPECT_LE(track->info.presets.size(), 8u) << n;
  }
}

// Damaged copies of a real track: the check must never read out of bounds
// (the sanitizer watches), and whatever it lets through, the player must be
// able to play without harm.
TEST(InspectMidi, DamagedTracksAreRefusedOrPlayableAndNeverReadOutOfBounds) {
  std::ifstream file(testing::source_root() / "dat" / "5.mid", std::ios::binary);
  const Bytes track{std::istreambuf_iterator<char>(file), {}};
  ASSERT_GT(track.size(), 1000u);

  std::vector<Bytes> accepted;
  for (std::size_t length = 0; length < track.size(); length += 13) {
    Bytes cut(track.begin(), track.begin() + static_cast<std::ptrdiff_t>(length));
    if (inspect_midi(cut)) accepted.push_back(std::move(cut));
  }
  std::mt19937 random(20010301);
  for (int i = 0; i < 4000; ++i) {
    Bytes damaged = track;
    for (int flips = 1 + i % 3; flips > 0; --flips) {
      damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
    }
    if (inspect_midi(damaged)) accepted.push_back(std::move(damaged));
  }
  ASSERT_FALSE(accepted.empty());

  // Played through the tests' own font, so it runs on a machine without one.
  Engine engine(kMusicGain);
  ASSERT_FALSE(engine.load_sound_font({testing::test_sound_font()}).empty());
  std::vector<float> left(4410), right(4410);
  for (std::size_t i = 0; i < accepted.size(); i += std::max<std::size_t>(1, accepted.size() / 150)) {
    Track damaged{"damaged.mid", accepted[i], *inspect_midi(accepted[i])};
    engine.start(std::make_shared<const Track>(std::move(damaged)));
    for (int block = 0; block < 3; ++block) engine.render(4410, left.data(), right.data());
  }
  engine.stop();
}

TEST(LoadTrack, RefusesWhatIsNotAnOrdinaryTrackFileWithoutWaiting) {
  testing::TempDir dat;
  dat.write("good.mid", testing::chord_midi(480));
  ASSERT_TRUE(load_track(dat.path().string(), "good.mid"));

  // A pipe under a track's name would block a reader until someone writes.
  ASSERT_EQ(mkfifo((dat.path() / "pipe.mid").c_str(), 0600), 0);
  EXPECT_FALSE(load_track(dat.path().string(), "pipe.mid"));

  // A huge file is not read at all; a sparse one costs no disk.
  {
    std::ofstream huge(dat.path() / "huge.mid", std::ios::binary);
    huge.write("MThd", 4);
  }
  std::filesystem::resize_file(dat.path() / "huge.mid", kMaxTrackBytes + 1);
  EXPECT_FALSE(load_track(dat.path().string(), "huge.mid"));

  // A zero-length track would end as soon as it began, over and over.
  dat.write("instant.mid", testing::chord_midi(0));
  EXPECT_FALSE(load_track(dat.path().string(), "instant.mid"));
}

}  // namespace
}  // namespace quillot::audio
