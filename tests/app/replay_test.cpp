#include "app/replay.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "game/checksum.h"

namespace quillot {
namespace {

std::string shipped(const std::string& name) {
  const std::string here = __FILE__;
  const std::string path = here.substr(0, here.rfind("/app/")) + "/replays/" + name;
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Outcome {
  Replayer::Step last;
  int64_t ticks;
  std::string error;
};

Outcome play(const Recording& r) {
  Game g;
  HeadlessShell shell;
  Replayer replayer(r, g, shell);
  replayer.start();
  for (;;) {
    const auto step = replayer.step();
    if (step == Replayer::Step::Done || step == Replayer::Step::Diverged) return {step, replayer.ticks(), replayer.error()};
  }
}

Recording parsed(const std::string& text) {
  std::string error;
  auto r = parse_recording(text, &error);
  EXPECT_TRUE(r.has_value()) << error;
  return r.value_or(Recording{});
}

TEST(Replay, ShippedRecordingPlaysBackExactly) {
  const Recording r = parsed(shipped("clear_stage0.qrp"));
  ASSERT_FALSE(r.lines.empty());
  EXPECT_EQ(play(r).last, Replayer::Step::Done);
}

TEST(Replay, AChangedInputIsCaughtWithinTwentyTicks) {
  // Every input matters: move the bird somewhere else, or drop a shot, and the
  // next checksum must disagree.
  const Recording original = parsed(shipped("clear_stage0.qrp"));
  int tried = 0;
  for (size_t i = 0; i < original.lines.size() && tried < 12; i += 7) {
    const auto& line = original.lines[i];
    if (line.kind != Recording::Line::Kind::Event || line.event.rfind("click", 0) == 0) continue;
    Recording changed = original;
    changed.lines[i].event = line.event.rfind("move", 0) == 0 ? "move 3" : "down other";
    const Outcome o = play(changed);
    if (o.last == Replayer::Step::Done) continue;  // e.g. a shot refused anyway, or the bird already there
    ++tried;
    EXPECT_EQ(o.last, Replayer::Step::Diverged);
    EXPECT_LE(o.ticks, line.tick + kCheckEvery) << o.error;
  }
  EXPECT_GE(tried, 5);
}

TEST(Replay, ASessionCutShortStillReplaysUpToWhereItStopped) {
  const std::string text = shipped("shop_visit.qrp");
  const size_t events = text.find("\n0 click");
  ASSERT_NE(events, std::string::npos);
  const size_t cut = events + (text.size() - events) * 2 / 3;
  Recording r = parsed(text.substr(0, cut));
  r.lines.pop_back();  // the last line may be cut in half
  ASSERT_GT(r.lines.size(), 100u);
  EXPECT_EQ(play(r).last, Replayer::Step::Done);
}

TEST(Replay, FormatAndParseAgree) {
  Recording r;
  r.seed = 4000000000u;
  r.profile = Profile{-2147483647 - 1, 2147483647, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  r.stories[0] = StoryRec{"\x82\xCD\x82\xA2", "a.bmp", "n", "", "sel"};
  std::string text = format_recording_header(r);
  text += format_line({Recording::Line::Kind::Event, 0, "click Button1", 0});
  text += format_line({Recording::Line::Kind::Check, 20, {}, 0xFEDCBA9876543210ull});
  const Recording back = parsed(text);
  EXPECT_EQ(back.seed, r.seed);
  EXPECT_EQ(profile_values(back.profile), profile_values(r.profile));
  EXPECT_EQ(back.stories[0].text, r.stories[0].text);
  EXPECT_EQ(back.stories[0].choice, "sel");
  ASSERT_EQ(back.lines.size(), 2u);
  EXPECT_EQ(back.lines[0].event, "click Button1");
  EXPECT_EQ(back.lines[1].checksum, 0xFEDCBA9876543210ull);
}

TEST(Replay, MalformedFilesAreRefusedWithAReason) {
  const std::string head = "QUILLOT-RECORDING 1\nseed 1\nprofile 0 0 0 3 18 10 2 3 0 0 3 3 0\n";
  for (const std::string& bad : {std::string(""), std::string("hello\n"), std::string("QUILLOT-RECORDING 9\n"),
                                 head + "5 move 1\n3 move 2\n", head + "x move 1\n", head + "stories 0g\n",
                                 std::string("QUILLOT-RECORDING 1\nprofile 1 2\n")}) {
    std::string error;
    EXPECT_FALSE(parse_recording(bad, &error).has_value()) << bad;
    EXPECT_FALSE(error.empty());
  }
}

TEST(Replay, AnUnknownInputOrATickWithTheTimerStoppedDiverges) {
  const std::string head = "QUILLOT-RECORDING 1\nseed 1\nprofile 0 0 0 3 18 10 2 3 0 0 3 3 0\n";
  EXPECT_EQ(play(parsed(head + "0 jump 3\n")).last, Replayer::Step::Diverged);
  // On the title screen the frame timer is off: no tick can run.
  EXPECT_EQ(play(parsed(head + "5 move 3\n")).last, Replayer::Step::Diverged);
}

TEST(Checksum, SeesEveryKindOfState) {
  Game a;
  const uint64_t base = checksum(a);
  auto differs = [&](auto change) {
    Game b;
    change(b);
    return checksum(b) != base;
  };
  EXPECT_TRUE(differs([](Game& g) { g.random.seed = 1; }));
  EXPECT_TRUE(differs([](Game& g) { g.profile.guard = 1; }));
  EXPECT_TRUE(differs([](Game& g) { g.enemies[254].reward = 1; }));
  EXPECT_TRUE(differs([](Game& g) { g.shots[3].vx = 1; }));
  EXPECT_TRUE(differs([](Game& g) { g.bullets[9].color = 2; }));
  EXPECT_TRUE(differs([](Game& g) { g.coins[0].state = 20; }));
  EXPECT_TRUE(differs([](Game& g) { g.effects[1].points = 5; }));
  EXPECT_TRUE(differs([](Game& g) { g.msg_text = "x"; }));
  EXPECT_TRUE(differs([](Game& g) { g.retry_count = 1; }));
  EXPECT_FALSE(differs([](Game& g) { g.stories[0].text = "a story is read once"; }));
}

}  // namespace
}  // namespace quillot
