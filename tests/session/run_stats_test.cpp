#include "session/run_stats.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

fs::path shipped(const std::string& name) {
  const std::string here = __FILE__;
  return here.substr(0, here.rfind("/session/")) + "/replays/" + name;
}

Recording recording(const std::string& name) {
  std::string error;
  auto r = read_recording(shipped(name), &error);
  EXPECT_TRUE(r.has_value()) << error;
  return r.value_or(Recording{});
}

// Counts made apart from the tick's reports: by comparing the game's state
// before and after every step of the replay.
struct SeenInState {
  int64_t shots_fired = 0, shots_hit = 0, destroyed = 0, coins_caught = 0, coins_missed = 0;
  int64_t gold_earned = 0, gold_spent = 0, bombs = 0, hits = 0, guards = 0;
  int64_t stage_over_at = -1;  // the tick of the first CLEAR!! or GAME OVER
};

SeenInState watch_state(const Recording& r) {
  SeenInState seen;
  Game g;
  HeadlessShell shell;
  Replayer replayer(r, g, shell, [&shell] { return shell.state(); });
  replayer.start();
  for (;;) {
    const Game before = g;
    const Replayer::Step step = replayer.step();
    if (step == Replayer::Step::Done || step == Replayer::Step::Diverged ||
        step == Replayer::Step::Incomplete)
      break;
    const int64_t gold = int64_t{g.profile.gold} - before.profile.gold;
    if (step == Replayer::Step::Event) {
      for (size_t i = 0; i < kSlots; ++i)
        seen.shots_fired += before.shots[i].state != 1 && g.shots[i].state == 1;
      seen.bombs += before.profile.bomb - g.profile.bomb > 0;
      if (gold < 0) seen.gold_spent -= gold;
      continue;
    }
    if (gold > 0) seen.gold_earned += gold;
    seen.hits += g.profile.hp < before.profile.hp;
    seen.guards += before.profile.guard == 1 && g.profile.guard == 0;
    if (seen.stage_over_at < 0 && before.msg_phase < 100 && g.msg_phase >= 100)
      seen.stage_over_at = replayer.ticks();
    for (size_t i = 0; i < kSlots; ++i) {
      seen.shots_hit += before.shots[i].state == 1 && g.shots[i].state >= 2;
      const EnemyRec &e0 = before.enemies[i], &e = g.enemies[i];
      // Shot down, not rammed: a shot leaves the wreck with no hit points.
      seen.destroyed += e0.kind >= 1 && e0.kind <= 99 && e.kind >= 100 && e.hp <= 0;
      const CoinRec &c0 = before.coins[i], &c = g.coins[i];
      const bool gone = (c0.state == 1 || c0.state == 20) && c.state == 0;
      seen.coins_missed += gone && c.y > 400;
      seen.coins_caught += (gone && c.y <= 400) || (c0.state == 1 && c.state >= 2 && c.state <= 11);
    }
  }
  return seen;
}

// What the recordings' own lines show: the clicks that start games and
// retries, the right clicks with bombs in hand, and the tick of the end line.
TEST(RunStats, ShippedRecordingsCountWhatWasPlayed) {
  struct Case {
    const char* name;
    int64_t ticks, games, retries, bombs, cleared;
    int32_t stage;  // the one stage each plays, from its first tick
  };
  const Case cases[] = {
      {"clear_stage0.qrp", 236, 1, 0, 0, 1, 0},  // NEW START, stage 0 to CLEAR!!
      {"lost_game.qrp", 124, 1, 1, 0, 0, 44},    // CONTINUE, RETRY of stage 44, lost
      {"shop_visit.qrp", 316, 1, 0, 2, 1, 4},    // a shopping spree, then stage 3 + 1
      {"story_no.qrp", 730, 1, 0, 3, 1, 8},      // "いいえ" skips stage 7
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Recording r = recording(c.name);
    std::string error;
    const auto s = run_stats(r, &error);
    ASSERT_TRUE(s.has_value()) << error;
    EXPECT_EQ(s->ticks, c.ticks);
    EXPECT_EQ(s->games, c.games);
    EXPECT_EQ(s->retries, c.retries);
    EXPECT_EQ(s->bombs_used, c.bombs);
    EXPECT_EQ(s->stages_cleared, c.cleared);

    const SeenInState seen = watch_state(r);
    EXPECT_EQ(s->stage_ticks, (std::map<int32_t, int64_t>{{c.stage, seen.stage_over_at}}));
    EXPECT_EQ(s->shots_fired, seen.shots_fired);
    EXPECT_EQ(s->shots_hit, seen.shots_hit);
    EXPECT_EQ(s->enemies_destroyed(), seen.destroyed);
    EXPECT_EQ(s->coins_caught, seen.coins_caught);
    EXPECT_EQ(s->coins_missed, seen.coins_missed);
    EXPECT_EQ(s->gold_earned, seen.gold_earned);
    EXPECT_EQ(s->gold_spent, seen.gold_spent);
    EXPECT_EQ(s->hits_taken, seen.hits);
    EXPECT_EQ(s->guards_lost, seen.guards);
    EXPECT_LE(s->shots_hit, s->shots_fired);
  }
}

class StatsCache : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = scratch_folder("stats"); }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

// The cache stands for the recording as it is: replaced, touched or damaged,
// the statistics are counted again from the recording, never taken from it.
TEST_F(StatsCache, IsCountedAgainWhenTheRecordingChangesOrTheCacheIsDamaged) {
  const std::string path = dir_ / "run.qrp";
  const std::string cache = dir_ / "run.stats";
  EXPECT_EQ(stats_path_for(path), cache);
  const RunStats lost = *run_stats(recording("lost_game.qrp"), nullptr);
  const RunStats cleared = *run_stats(recording("clear_stage0.qrp"), nullptr);

  fs::copy_file(shipped("lost_game.qrp"), path);
  EXPECT_EQ(load_or_compute_stats(path), lost);
  const std::string good = read_file(cache);
  ASSERT_FALSE(good.empty());
  EXPECT_EQ(load_or_compute_stats(path), lost) << "read back from the cache";

  // A cache whose counts are false but which names the recording's size and time is believed:
  // that is how the next cases show whether the cache was read.
  RunStats lie = lost;
  lie.games = 99;
  struct stat st {};
  ::stat(path.c_str(), &st);
  const int64_t mtime = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  const std::string lying = format_stats_cache(lie, static_cast<uint64_t>(st.st_size), mtime);
  std::ofstream(cache, std::ios::trunc) << lying;
  EXPECT_EQ(load_or_compute_stats(path)->games, 99);

  const struct {
    const char* what;
    std::string text;
  } damaged[] = {
      {"empty", ""},
      {"cut short", lying.substr(0, lying.size() / 2)},
      {"a count changed", std::string(lying).replace(lying.find("games 99"), 8, "games 98")},
      {"another recording's size", format_stats_cache(lie, static_cast<uint64_t>(st.st_size) + 1, mtime)},
      {"another time", format_stats_cache(lie, static_cast<uint64_t>(st.st_size), mtime - 1)},
      {"garbage", "QUILLOT-STATS 1\n\xff\xfe\n"},
  };
  for (const auto& d : damaged) {
    std::ofstream(cache, std::ios::trunc) << d.text;
    EXPECT_EQ(load_or_compute_stats(path), lost) << d.what;
    EXPECT_EQ(read_file(cache), good) << d.what << ": the cache is written anew";
  }

  // Another game recorded under the same name.
  fs::copy_file(shipped("clear_stage0.qrp"), path, fs::copy_options::overwrite_existing);
  EXPECT_EQ(load_or_compute_stats(path), cleared);
  EXPECT_EQ(load_or_compute_stats(path), cleared);

  // A cache that cannot be written costs nothing but the count.
  fs::remove(cache);
  fs::create_directory(cache);
  EXPECT_EQ(load_or_compute_stats(path), cleared);
}

}  // namespace
}  // namespace quillot
