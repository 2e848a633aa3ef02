#include "session/replay.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "game/checksum.h"
#include "game/tick.h"
#include "session/theatre.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

std::string shipped(const std::string& name) {
  const std::string here = __FILE__;
  const std::string path = here.substr(0, here.rfind("/session/")) + "/replays/" + name;
  return read_file(path);
}

struct Outcome {
  Replayer::Step last;
  int64_t ticks;
  std::string error;
};

Outcome play(const Recording& r) {
  Game g;
  HeadlessShell shell;
  Replayer replayer(r, g, shell, [&shell] { return shell.state(); });
  replayer.start();
  for (;;) {
    const auto step = replayer.step();
    if (step == Replayer::Step::Done || step == Replayer::Step::Diverged ||
        step == Replayer::Step::Incomplete)
      return {step, replayer.ticks(), replayer.error()};
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

// Every input of every shipped session goes through the typed input and back
// to the same bytes, so the recordings stay as they are and older ones still
// read; every control's name is among them, and each is taken back whole.
TEST(Replay, ShippedRecordingsFormatBackByteForByte) {
  int clicks = 0;
  for (const char* name : {"clear_stage0.qrp", "lost_game.qrp", "shop_visit.qrp", "story_no.qrp"}) {
    const std::string text = shipped(name);
    const Recording r = parsed(text);
    std::string again = format_recording_header(r);
    for (const Recording::Line& l : r.lines) {
      again += format_line(l);
      if (l.kind == Recording::Line::Kind::Event && l.input.kind == Input::Kind::Click) ++clicks;
    }
    EXPECT_EQ(again, text) << name;
  }
  EXPECT_GT(clicks, 10);
  for (int c = 0; c <= static_cast<int>(Control::a10); ++c) {
    const Input in = Input::click(static_cast<Control>(c));
    EXPECT_EQ(parse_input(format_input(in)), in) << format_input(in);
  }
  for (const char* bad :
       {"click Button2", "click a0", "click a11", "move", "move 1 2", "down middle", "jump 3"})
    EXPECT_FALSE(parse_input(bad).has_value()) << bad;
}

TEST(Replay, AChangedInputIsCaughtWithinTwentyTicks) {
  // Every input matters: move the bird somewhere else, or drop a shot, and the
  // next checksum must disagree.
  const Recording original = parsed(shipped("clear_stage0.qrp"));
  int tried = 0;
  for (size_t i = 0; i < original.lines.size() && tried < 12; i += 7) {
    const auto& line = original.lines[i];
    if (line.kind != Recording::Line::Kind::Event || line.input.kind == Input::Kind::Click) continue;
    Recording changed = original;
    changed.lines[i].input =
        line.input.kind == Input::Kind::Move ? Input::move(3) : Input::down(MouseButton::Other);
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
  const Recording r = parsed(text.substr(0, cut));
  ASSERT_GT(r.lines.size(), 100u);
  const Outcome o = play(r);
  EXPECT_EQ(o.last, Replayer::Step::Incomplete) << "it matched, but it is not the whole session";
  EXPECT_EQ(o.ticks, r.lines.back().tick);
}

// SAVE is offered once in each visit to the shop: saved in one, the next
// stage's clear opens the shop with it enabled again, as the window does, and
// a game saved after each of two stages replays without a window.
TEST(Replay, ASaveInEachShopVisitReplaysWithoutAWindow) {
  Game g;
  g.random.seed = 99;
  g.profile = new_game_profile();
  g.profile.stage = -1;
  g.profile.hp = 1000000;
  g.profile.gold = 1000000;
  Recording r;
  r.seed = g.random.seed;
  r.profile = g.profile;
  TheatreShell window(nullptr);  // keeps the screens and SAVE as the window does
  int64_t t = 0;
  auto give = [&](const Input& in) {
    if (!input_possible(g, window.screen_state(), in)) return false;
    Recording::Line l;
    l.tick = t;
    l.input = in;
    r.lines.push_back(l);
    apply_input(g, window, in);
    return true;
  };
  ASSERT_TRUE(give(Input::click(Control::Button4)));
  int saves = 0;
  while (saves < 2 && t < 100000) {
    if (window.timer_running()) {
      for (const EnemyRec& e : g.enemies)
        if (e.kind >= 1 && e.kind <= 20) {
          give(Input::move(e.x));
          break;
        }
      if (t % 2 == 0) give(Input::down(MouseButton::Left));
      Timer1Timer(g, window.bak(), window);
      if (++t % kCheckEvery == 0) r.lines.push_back({Recording::Line::Kind::Check, t, {}, checksum(g)});
    } else {
      ASSERT_EQ(window.state().screen, Screen::Shop);
      ASSERT_TRUE(give(Input::click(item_control(shop::Item::a9)))) << "SAVE is enabled in visit " << saves + 1;
      ASSERT_FALSE(window.state().save_enabled) << "saved, SAVE is offered no more in this visit";
      ++saves;
      ASSERT_TRUE(give(Input::click(Control::Button5)));
    }
  }
  ASSERT_EQ(saves, 2);
  r.lines.push_back({Recording::Line::Kind::End, t, {}, checksum(g)});
  r.complete = true;
  const Outcome o = play(r);
  EXPECT_EQ(o.last, Replayer::Step::Done) << o.error;
}

TEST(Replay, FormatAndParseAgree) {
  Recording r;
  r.seed = 4000000000u;
  r.profile = Profile{-2147483647 - 1, 2147483647, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  r.stories[0] = StoryRec{"\x82\xCD\x82\xA2", "a.bmp", "n", "", "sel"};
  std::string text = format_recording_header(r);
  text += format_line({Recording::Line::Kind::Event, 0, Input::click(Control::Button1), 0});
  text += format_line({Recording::Line::Kind::Check, 20, {}, 0xFEDCBA9876543210ull});
  text += format_line({Recording::Line::Kind::SaveFailed, 20, {}, 0});
  text += format_line({Recording::Line::Kind::PictureFailed, 21, {}, 0});
  const Recording back = parsed(text);
  EXPECT_EQ(back.version, kRecordingVersion);
  EXPECT_EQ(back.seed, r.seed);
  EXPECT_EQ(profile_values(back.profile), profile_values(r.profile));
  EXPECT_EQ(back.stories[0].text, r.stories[0].text);
  EXPECT_EQ(back.stories[0].choice, "sel");
  ASSERT_EQ(back.lines.size(), 4u);
  EXPECT_EQ(back.lines[0].input, Input::click(Control::Button1));
  EXPECT_EQ(back.lines[1].checksum, 0xFEDCBA9876543210ull);
  EXPECT_EQ(back.lines[2].kind, Recording::Line::Kind::SaveFailed);
  EXPECT_EQ(back.lines[3].kind, Recording::Line::Kind::PictureFailed);
}

const std::string kHead = "QUILLOT-RECORDING 1\nseed 1\nprofile 0 0 0 3 18 10 2 3 0 0 3 3 0\n";
const std::string kHead2 = "QUILLOT-RECORDING 2" + kHead.substr(kHead.find('\n'));

TEST(Replay, MalformedFilesAreRefusedWithTheirLine) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "line 1: empty file"},
      {"hello\n", "line 1: not a QUILLOT recording"},
      {"\n" + kHead, "line 1: a blank line"},
      {"QUILLOT-RECORDING 9\n", "line 1: recording version 9"},
      {kHead + "  \n0 click Button1\n", "line 4: a blank line"},
      {kHead + "5 move 1\n3 move 2\n", "line 5: bad tick"},
      {kHead + "x move 1\n", "line 4: bad tick"},
      {kHead + "0 jump 3\n", "line 4: unknown input"},
      {kHead + "0 save failed\n", "line 4: unknown input"},
      {kHead2 + "0 jump 3\n", "line 4: unknown kind of line \"jump 3\""},
      {kHead2 + "0 save ok\n", "line 4: bad answer"},
      {kHead2 + "0 picture failed twice\n", "line 4: bad answer"},
      {kHead2 + "0 speed 45\n", "line 4: bad speed"},
      {kHead2 + "0 speed\n", "line 4: bad speed"},
      {kHead + "0 speed 80\n", "line 4: unknown input"},
      {"QUILLOT-RECORDING 3\n", "line 1: recording version 3 is not supported"},
      {kHead + "0 click Button99\n", "line 4: unknown input"},
      {kHead + "0 down middle\n", "line 4: unknown input"},
      {kHead + "0 click Button1\nseed 2\n", "line 5: seed after the first input"},
      {kHead + "0 end 0\n0 click Button1\n", "line 5: a line after the end line"},
      {kHead + "stories 0g\n", "line 4: bad story data"},
      {"QUILLOT-RECORDING 1\nprofile 1 2\n", "line 2: a profile has 13 values"},
      {"QUILLOT-RECORDING 1\n0 click Button1\n", "line 2: the seed or the profile is missing"},
      // A shared file's line can neither steer the terminal nor flood it.
      {kHead + "0 \x1b]0;owned\x07\x1b[2J" + std::string(1 << 20, 'x') + "\n",
       "line 4: unknown input \"\\x1b]0;owned\\x07\\x1b[2Jxxx"},
  };
  for (const auto& [bad, why] : cases) {
    std::string error;
    EXPECT_FALSE(parse_recording(bad, &error).has_value()) << bad.substr(0, 80);
    EXPECT_EQ(error.rfind(why, 0), 0u) << error;
    EXPECT_LT(error.size(), 160u);
    for (unsigned char c : error) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << error;
  }
}

class ReplayFile : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = scratch_folder("replay"); }
  void TearDown() override { fs::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  fs::path dir_;
};

TEST_F(ReplayFile, HostileRecordingsEndAtOnceWithTheirOwnStatus) {
  const std::string stage = kHead + "0 click Button1\n";
  // Every line checks the start's state: one checksum each would take seconds.
  const auto start = parse_recording(kHead, nullptr);
  ASSERT_TRUE(start.has_value());
  Game g;
  g.random.seed = start->seed;
  g.profile = start->profile;
  const uint64_t sum = checksum(g);
  std::string checks = kHead;
  for (int i = 0; i < 100000; ++i) checks += format_line({Recording::Line::Kind::Check, 0, {}, sum});
  checks += format_line({Recording::Line::Kind::End, 0, {}, sum});
  const struct {
    const char* name;
    std::string text;
    int status;
  } cases[] = {
      {"blank line", kHead + "\n0 click Button1\n", kReplayRefused},
      {"blank line of spaces", kHead + "   \n", kReplayRefused},
      {"header not first", "\n" + kHead, kReplayRefused},
      {"nothing after the header", kHead, kReplayIncomplete},
      {"no end line", stage + "3 move 40\n", kReplayIncomplete},
      {"last line cut", stage + "3 move 40\n4 mo", kReplayIncomplete},
      {"story NEXT on the title screen", kHead + "0 click Button8\n", kReplayDiverged},
      {"CONTINUE during a stage", stage + "2 click Button4\n", kReplayDiverged},
      {"a shop item without the gold", kHead + "0 click Button4\n0 click a3\n", kReplayDiverged},
      {"the playfield under the shop", kHead + "0 click Button4\n0 move 30\n", kReplayDiverged},
      {"an end tick far away", stage + "9000000000000000000 end 0\n", kReplayDiverged},
      {"a tick with the timer stopped", kHead + "5 move 3\n", kReplayDiverged},
      {"a failed save nothing asked for", kHead2 + "0 save failed\n0 end 0\n", kReplayDiverged},
      {"a failed picture at another tick", kHead2 + "0 click Button4\n0 click Button5\n1 picture failed\n",
       kReplayDiverged},
      {"checks by the hundred thousand at one tick", checks, kReplayMatched},
      {"a gentler pace changes nothing in the game", kHead2 + "0 speed 60\n0 speed 100\n" +
       format_line({Recording::Line::Kind::End, 0, {}, sum}), kReplayMatched},
  };
  for (const auto& c : cases) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(replay_headless(write("r.qrp", c.text)), c.status) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << c.name;
  }
  fs::create_directory(dir_ / "folder.qrp");
  EXPECT_EQ(replay_headless((dir_ / "folder.qrp").string()), kReplayRefused);
  ASSERT_EQ(::mkfifo((dir_ / "fifo.qrp").c_str(), 0600), 0);
  EXPECT_EQ(replay_headless((dir_ / "fifo.qrp").string()), kReplayRefused)
      << "and it does not wait for a writer";
}

TEST_F(ReplayFile, RecordingNeverOverwritesAFileThatIsNotARecording) {
  const std::string save = "1\r\n2\r\n3\r\n";
  const struct {
    const char* name;
    std::string existing;
    bool allowed;
  } cases[] = {
      {"a save file", save, false},
      {"a note", "QUILLOT is fun\n", false},
      {"an earlier recording", kHead + "0 end 0\n", true},
      {"an empty file", "", true},
  };
  for (const auto& c : cases) {
    const std::string path = write("target", c.existing);
    Recorder rec(path, Game{});
    EXPECT_EQ(rec.ok(), c.allowed) << c.name;
    EXPECT_EQ(rec.error().empty(), c.allowed) << c.name;
    if (!c.allowed) {
      EXPECT_EQ(read_file(path), c.existing) << c.name;
    }
  }
  fs::create_directory(dir_ / "folder");
  EXPECT_FALSE(Recorder((dir_ / "folder").string()).ok());
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(Recorder((dir_ / "fifo").string()).ok()) << "and it does not wait for a reader";
}

TEST_F(ReplayFile, AWriteErrorStopsTheRecordingAtAWholeLine) {
  const std::string path = (dir_ / "full.qrp").string();
  Recorder rec(path, Game{});
  ASSERT_TRUE(rec.ok());
  rec.event(0, Input::click(Control::Button1));
  std::string said;
  {
    const FileSizeLimit full(static_cast<rlim_t>(fs::file_size(path)) + 100);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 40; ++i) rec.event(0, Input::move(100 + i));
    rec.end(0, Game{});
    said = testing::internal::GetCapturedStderr();
  }
  EXPECT_TRUE(rec.failed());
  EXPECT_NE(said.find("stopped"), std::string::npos) << said;
  EXPECT_EQ(said.find("stopped"), said.rfind("stopped")) << "reported once";
  const std::string text = read_file(path);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(replay_headless(path), kReplayIncomplete);
}

TEST_F(ReplayFile, ARecordingThatCannotEvenStartLeavesNoFile) {
  const std::string path = (dir_ / "full.qrp").string();
  Recorder rec(path);
  ASSERT_TRUE(rec.ok());
  bool began = true;
  {
    const FileSizeLimit full(10);
    testing::internal::CaptureStderr();
    began = rec.begin(Game{});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the caller says it, once";
  }
  EXPECT_FALSE(began);
  EXPECT_FALSE(fs::exists(path)) << "an empty file would replay as refused";
  EXPECT_NE(rec.error().find(path), std::string::npos) << rec.error();
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
