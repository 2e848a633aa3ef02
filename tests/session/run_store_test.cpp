#include "session/run_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "game/checksum.h"
#include "game/tick.h"
#include "session/run_recorder.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

std::string shipped_path(const std::string& name) {
  const std::string here = __FILE__;
  return here.substr(0, here.rfind("/session/")) + "/replays/" + name;
}

// Plays a shipped recording's inputs on a session that goes on (its game and
// shell kept), as a window would, with every game recorded into `runs`.
void play_on(const std::string& shipped, Game& g, HeadlessShell& shell, RunRecorder& runs, int64_t& tick) {
  std::string error;
  auto rec = read_recording(shipped_path(shipped), &error);
  ASSERT_TRUE(rec) << error;
  int64_t at = 0;
  for (const Recording::Line& l : rec->lines) {
    for (; at < l.tick && shell.timer_running(); ++at) {
      Timer1Timer(g, shell.bak(), shell);
      runs.after_tick(++tick, g, shell.screen() == Screen::Title);
    }
    at = l.tick;
    if (l.kind != Recording::Line::Kind::Event || !input_possible(g, shell.state(), l.input)) continue;
    runs.input(tick, l.input, g, shell.state());
    apply_input(g, shell, l.input);
    runs.applied(tick, l.input, g);
  }
}

// A game as the shipped recording starts it: its seed and profile.
void start_as(const std::string& shipped, Game& g) {
  std::string error;
  auto rec = read_recording(shipped_path(shipped), &error);
  ASSERT_TRUE(rec) << error;
  g.random.seed = rec->seed;
  g.profile = rec->profile;
}

TEST(RunStore, KeepsTheTenBestAndTheTwentyLastAndRemovesTheRecordingsOfTheRest) {
  const fs::path dir = scratch_folder("runs");
  RunStore store(dir.string());
  // Game i starts at second i; the high scores come early, late and in between.
  const std::vector<int32_t> scores = {900, 5,  800, 7,    700, 1,  600, 2,  500, 3,  400, 4,
                                       300, 6,  200, 8,    100, 9,  50,  10, 11,  12, 13,  14,
                                       15,  16, 17,  1000, 18,  19, 20,  21, 22,  23, 24};
  for (size_t i = 0; i < scores.size(); ++i) {
    RunEntry e;
    e.date = 1000 + static_cast<int64_t>(i);
    e.file = "game" + std::to_string(100 + i) + ".qrp";
    e.score = scores[i];
    std::ofstream(dir / e.file) << "QUILLOT-RECORDING 2\n";
    ASSERT_TRUE(store.add(e));
  }
  const std::vector<RunEntry> kept = store.load();
  std::vector<int32_t> best;
  for (const RunEntry& e : best_runs(kept)) best.push_back(e.score);
  EXPECT_EQ(best, (std::vector<int32_t>{1000, 900, 800, 700, 600, 500, 400, 300, 200, 100}));
  const auto recent = recent_runs(kept);
  ASSERT_EQ(recent.size(), 20u);
  EXPECT_EQ(recent.front().file, "game134.qrp");
  EXPECT_EQ(recent.back().file, "game115.qrp");
  // Kept: the ten best and the twenty last, and a file for each, and nothing else.
  std::set<std::string> want;
  for (const auto& e : best_runs(kept)) want.insert(e.file);
  for (const auto& e : recent) want.insert(e.file);
  std::set<std::string> files;
  for (const auto& f : fs::directory_iterator(dir))
    if (f.path().extension() == ".qrp") files.insert(f.path().filename().string());
  EXPECT_EQ(files, want);
  EXPECT_EQ(kept.size(), want.size());
  fs::remove_all(dir);
}

TEST(RunRecorder, AFullDiskOrAnUnwritableFolderCostsOneLineAndTheRecordNeverThePlay) {
  struct Case {
    const char* name;
    bool folder_is_a_file;
    rlim_t file_limit;  // 0: none
  };
  const Case cases[] = {
      {"nothing stands in the way", false, 0},
      {"a file where the folder should be", true, 0},
      {"the disk fills before the header is down", false, 1000},
      {"the disk fills mid-game", false, 6000},
  };
  uint64_t played = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = scratch_folder("runs-full");
    const fs::path folder = dir / "runs";
    if (c.folder_is_a_file) std::ofstream(folder) << "mine";
    RunRecorder runs(RunStore(folder.string()), [] { return int64_t{1700000000}; });
    Game g;
    HeadlessShell shell;
    int64_t tick = 0;
    start_as("lost_game.qrp", g);
    testing::internal::CaptureStderr();
    {
      std::optional<FileSizeLimit> limit;
      if (c.file_limit != 0) limit.emplace(c.file_limit);
      play_on("lost_game.qrp", g, shell, runs, tick);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    const bool fine = !c.folder_is_a_file && c.file_limit == 0;
    // The same game whatever happened to its record.
    if (played == 0) played = checksum(g);
    EXPECT_EQ(checksum(g), played);
    EXPECT_EQ(shell.screen(), Screen::Title);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), fine ? 0 : 1) << said;
    if (!c.folder_is_a_file) {
      const auto listed = RunStore(folder.string()).load();
      EXPECT_EQ(listed.size(), fine ? 1u : 0u);
      size_t recordings = 0;
      for (const auto& f : fs::directory_iterator(folder)) recordings += f.path().extension() == ".qrp";
      EXPECT_EQ(recordings, fine ? 1u : 0u);
    }
    fs::remove_all(dir);
  }
}

TEST(RunStore, ARecordsListLostOrDamagedIsRebuiltFromTheRecordings) {
  const fs::path dir = scratch_folder("runs-index");
  int64_t clock = 1700000000;
  RunRecorder runs(RunStore(dir.string()), [&clock] { return clock += 100; });
  runs.language = [] { return std::string("en"); };
  Game g;
  HeadlessShell shell;
  int64_t tick = 0;
  // Two lost games in one session, then a third given up in the shop by closing.
  start_as("lost_game.qrp", g);
  play_on("lost_game.qrp", g, shell, runs, tick);
  play_on("story_no.qrp", g, shell, runs, tick);
  const Input go_on = Input::click(Control::Button4);
  runs.input(tick, go_on, g, shell.state());
  apply_input(g, shell, go_on);
  runs.quit(tick, g);
  const std::vector<RunEntry> written = RunStore(dir.string()).load();
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[2].end, RunEnd::GameOver);
  EXPECT_EQ(written[1].end, RunEnd::GameOver);
  EXPECT_EQ(written[0].end, RunEnd::Quit);
  const std::string index = read_file(dir / RunStore::kIndexName);
  const std::string one_line = index.substr(0, index.find('\n', index.find('\n') + 1) + 1);
  struct Damage {
    const char* name;
    std::function<void()> apply;
  };
  const Damage damages[] = {
      {"lost", [&] { fs::remove(dir / RunStore::kIndexName); }},
      {"garbage", [&] { std::ofstream(dir / RunStore::kIndexName) << "\x01\x02 not an index"; }},
      {"cut off", [&] { std::ofstream(dir / RunStore::kIndexName) << index.substr(0, index.size() - 7); }},
      {"a folder in its place",
       [&] {
         fs::remove(dir / RunStore::kIndexName);
         fs::create_directory(dir / RunStore::kIndexName);
       }},
      {"one game missing from it", [&] { std::ofstream(dir / RunStore::kIndexName) << one_line; }},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    d.apply();
    const std::vector<RunEntry> rebuilt = RunStore(dir.string()).load();
    ASSERT_EQ(rebuilt.size(), written.size());
    for (size_t i = 0; i < rebuilt.size(); ++i) {
      EXPECT_EQ(rebuilt[i].file, written[i].file);
      EXPECT_EQ(rebuilt[i].score, written[i].score);
      EXPECT_EQ(rebuilt[i].stage, written[i].stage);
      EXPECT_EQ(rebuilt[i].first_stage, written[i].first_stage);
      EXPECT_EQ(rebuilt[i].ticks, written[i].ticks);
      EXPECT_EQ(rebuilt[i].end, written[i].end);
      EXPECT_EQ(rebuilt[i].language, "en");
    }
    fs::remove_all(dir / RunStore::kIndexName);
    std::ofstream(dir / RunStore::kIndexName) << index;
  }
  // Each game's recording replays on its own, the second from what the first left.
  for (const RunEntry& e : written)
    EXPECT_EQ(replay_headless((dir / e.file).string()), kReplayMatched) << e.file;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace quillot
