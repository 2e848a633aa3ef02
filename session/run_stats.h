#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "game/happening.h"
#include "session/replay.h"

namespace quillot {

// How a recorded game went, counted from the tick's own reports while the
// recording is replayed without a window. The game state carries none of it,
// so counting changes no rule and no checksum.
struct RunStats {
  int64_t ticks = 0;  // play time: the ticks run, 20 a second at the normal pace
  int64_t games = 0;
  int64_t stages_cleared = 0;
  int64_t shots_fired = 0;
  int64_t shots_hit = 0;
  std::array<int64_t, 21> destroyed{};  // by enemy kind 1..20; 0 is unused
  int64_t coins_caught = 0;
  int64_t coins_missed = 0;
  int64_t gold_earned = 0;
  int64_t gold_spent = 0;
  int64_t bombs_used = 0;
  int64_t hits_taken = 0;
  int64_t guards_lost = 0;
  int64_t retries = 0;
  // Stage number -> ticks played on it, from its start to its clear or game
  // over (or to the end of the recording); a retried stage adds each try.
  std::map<int32_t, int64_t> stage_ticks;

  int64_t enemies_destroyed() const;
  // Shots that hit as a share of those fired, 0..1; 0 when none was fired.
  double accuracy() const;
  RunStats& operator+=(const RunStats& other);
  bool operator==(const RunStats&) const = default;
};

// Adds up the reports of one or more games as they come. `tick` is the
// number of ticks run when the report is made (a report from inside a tick
// counts that tick as run).
class StatsCounter {
 public:
  void report(Happening what, int32_t value, int64_t tick);
  // The counts so far, with a stage still running counted up to `tick`.
  RunStats stats(int64_t tick) const;

 private:
  void end_stage(int64_t tick, RunStats& into) const;
  RunStats stats_;
  std::optional<int32_t> stage_;  // the stage running now, if any
  int64_t stage_start_ = 0;
};

// Replays a recording headless and counts. A recording without its end (a
// killed session) is counted as far as it goes; one that leaves the recorded
// game gives no statistics, and `error` says where it left.
std::optional<RunStats> run_stats(const Recording& recording, std::string* error);

// The cache file beside a recording: NAME.qrp -> NAME.stats.
std::string stats_path_for(const std::string& recording_path);

// The cache's text for statistics of a recording of `size` bytes last
// changed at `mtime_ns`, and the statistics from such a text when it is whole
// and made for that very recording.
std::string format_stats_cache(const RunStats& stats, uint64_t size, int64_t mtime_ns);
std::optional<RunStats> parse_stats_cache(std::string_view text, uint64_t size, int64_t mtime_ns);

// The statistics of the recording at `path`, from its cache when the cache was
// made for the recording as it is now, else replayed and the cache (re)written.
// A cache that cannot be written (a read-only folder, a full disk) costs only
// the time to count again next time.
std::optional<RunStats> load_or_compute_stats(const std::string& recording_path,
                                              std::string* error = nullptr);

}  // namespace quillot
