#include "session/run_stats.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "files/atomic_file.h"
#include "files/file_read.h"
#include "session/words.h"

namespace quillot {

namespace {

constexpr std::string_view kCacheMagic = "QUILLOT-STATS";
// Raised whenever what is counted changes, so older caches are counted again.
constexpr int kCacheVersion = 1;
constexpr size_t kCacheReadLimit = 64 * 1024;

// A HeadlessShell that passes the tick's reports to a counter, stamped with
// the tick the replay has reached.
class CountingShell : public HeadlessShell {
 public:
  void report(Happening what, int32_t value) override { counter.report(what, value, now); }
  StatsCounter counter;
  int64_t now = 0;
};

uint64_t fnv1a(std::string_view bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}
// Split at each single space: the cache is written so, and anything else is not ours.

std::vector<std::string_view> single_spaced(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    out.push_back(line.substr(start, i - start));
    ++i;
  }
  return out;
}


std::string join(std::initializer_list<int64_t> values) {
  std::string out;
  for (int64_t v : values) out += " " + std::to_string(v);
  return out;
}

}  // namespace

int64_t RunStats::enemies_destroyed() const {
  int64_t sum = 0;
  for (int64_t n : destroyed) sum += n;
  return sum;
}

double RunStats::accuracy() const {
  return shots_fired > 0 ? static_cast<double>(shots_hit) / static_cast<double>(shots_fired) : 0.0;
}

RunStats& RunStats::operator+=(const RunStats& o) {
  ticks += o.ticks;
  games += o.games;
  stages_cleared += o.stages_cleared;
  shots_fired += o.shots_fired;
  shots_hit += o.shots_hit;
  for (size_t k = 0; k < destroyed.size(); ++k) destroyed[k] += o.destroyed[k];
  coins_caught += o.coins_caught;
  coins_missed += o.coins_missed;
  gold_earned += o.gold_earned;
  gold_spent += o.gold_spent;
  bombs_used += o.bombs_used;
  hits_taken += o.hits_taken;
  guards_lost += o.guards_lost;
  retries += o.retries;
  for (const auto& [stage, t] : o.stage_ticks) stage_ticks[stage] += t;
  return *this;
}

void StatsCounter::end_stage(int64_t tick, RunStats& into) const {
  if (stage_) into.stage_ticks[*stage_] += tick - stage_start_;
}

void StatsCounter::report(Happening what, int32_t value, int64_t tick) {
  RunStats& s = stats_;
  switch (what) {
    case Happening::ShotFired:
      ++s.shots_fired;
      break;
    case Happening::ShotHit:
      ++s.shots_hit;
      break;
    case Happening::EnemyDestroyed:
      if (value >= 1 && value < static_cast<int32_t>(s.destroyed.size()))
        ++s.destroyed[static_cast<size_t>(value)];
      break;
    case Happening::CoinCaught:
      ++s.coins_caught;
      break;
    case Happening::CoinMissed:
      ++s.coins_missed;
      break;
    case Happening::GoldEarned:
      s.gold_earned += value;
      break;
    case Happening::GoldSpent:
      s.gold_spent += value;
      break;
    case Happening::BombUsed:
      ++s.bombs_used;
      break;
    case Happening::BirdHit:
      ++s.hits_taken;
      break;
    case Happening::GuardLost:
      ++s.guards_lost;
      break;
    case Happening::GameStarted:
      ++s.games;
      break;
    case Happening::RetryStarted:
      ++s.retries;
      break;
    case Happening::StageStarted:
      // A stage left for the shop and started again from there ends here.
      end_stage(tick, s);
      stage_ = value;
      stage_start_ = tick;
      break;
    case Happening::StageCleared:
    case Happening::GameOver:
      end_stage(tick, s);
      stage_.reset();
      if (what == Happening::StageCleared) ++s.stages_cleared;
      break;
  }
}

RunStats StatsCounter::stats(int64_t tick) const {
  RunStats out = stats_;
  out.ticks = tick;
  end_stage(tick, out);
  return out;
}

std::optional<RunStats> run_stats(const Recording& recording, std::string* error) {
  Game g;
  CountingShell shell;
  Replayer replayer(recording, g, shell, [&shell] { return shell.state(); });
  replayer.start();
  for (;;) {
    // A report from inside the coming tick belongs to it.
    shell.now = replayer.next_is_tick() ? replayer.ticks() + 1 : replayer.ticks();
    switch (replayer.step()) {
      case Replayer::Step::Done:
      case Replayer::Step::Incomplete:
        return shell.counter.stats(replayer.ticks());
      case Replayer::Step::Diverged:
        if (error) *error = replayer.error();
        return std::nullopt;
      default:
        break;
    }
  }
}

std::string stats_path_for(const std::string& recording_path) {
  constexpr std::string_view kExt = ".qrp";
  if (recording_path.size() > kExt.size() &&
      recording_path.compare(recording_path.size() - kExt.size(), kExt.size(), kExt) == 0)
    return recording_path.substr(0, recording_path.size() - kExt.size()) + ".stats";
  return recording_path + ".stats";
}

std::string format_stats_cache(const RunStats& s, uint64_t size, int64_t mtime_ns) {
  std::string out = std::string(kCacheMagic) + " " + std::to_string(kCacheVersion) + "\n";
  out += "recording " + std::to_string(size) + " " + std::to_string(mtime_ns) + "\n";
  out += "ticks" + join({s.ticks}) + "\n";
  out += "games" + join({s.games, s.stages_cleared, s.retries}) + "\n";
  out += "shots" + join({s.shots_fired, s.shots_hit}) + "\n";
  out += "destroyed";
  for (size_t k = 1; k < s.destroyed.size(); ++k) out += " " + std::to_string(s.destroyed[k]);
  out += "\ncoins" + join({s.coins_caught, s.coins_missed}) + "\n";
  out += "gold" + join({s.gold_earned, s.gold_spent}) + "\n";
  out += "bombs" + join({s.bombs_used}) + "\n";
  out += "hits" + join({s.hits_taken, s.guards_lost}) + "\n";
  for (const auto& [stage, t] : s.stage_ticks) out += "stage" + join({stage, t}) + "\n";
  char sum[32];
  std::snprintf(sum, sizeof sum, "sum %016" PRIx64 "\n", fnv1a(out));
  return out + sum;
}

std::optional<RunStats> parse_stats_cache(std::string_view text, uint64_t size, int64_t mtime_ns) {
  RunStats s;
  const std::map<std::string_view, std::vector<int64_t*>> fields = {
      {"ticks", {&s.ticks}},
      {"games", {&s.games, &s.stages_cleared, &s.retries}},
      {"shots", {&s.shots_fired, &s.shots_hit}},
      {"coins", {&s.coins_caught, &s.coins_missed}},
      {"gold", {&s.gold_earned, &s.gold_spent}},
      {"bombs", {&s.bombs_used}},
      {"hits", {&s.hits_taken, &s.guards_lost}},
  };
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t nl = rest.find('\n');
    if (nl == std::string_view::npos) return std::nullopt;
    const auto w = single_spaced(rest.substr(0, nl));
    rest.remove_prefix(nl + 1);
    if (w[0] == "destroyed") {
      if (w.size() != s.destroyed.size()) return std::nullopt;
      for (size_t k = 1; k < w.size(); ++k)
        if (!number(w[k], s.destroyed[k])) return std::nullopt;
    } else if (w[0] == "stage") {
      int32_t stage = 0;
      int64_t t = 0;
      if (w.size() != 3 || !number(w[1], stage) || !number(w[2], t)) return std::nullopt;
      s.stage_ticks[stage] = t;
    } else if (const auto f = fields.find(w[0]); f != fields.end()) {
      if (w.size() != f->second.size() + 1) return std::nullopt;
      for (size_t i = 0; i < f->second.size(); ++i)
        if (!number(w[i + 1], *f->second[i])) return std::nullopt;
    }
  }
  // Whatever was read, only a file that is, byte for byte, what these counts
  // for this recording would write is taken: a damaged, older or foreign one
  // is counted again.
  if (format_stats_cache(s, size, mtime_ns) != text) return std::nullopt;
  return s;
}

std::optional<RunStats> load_or_compute_stats(const std::string& recording_path, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<RunStats> {
    if (error) *error = recording_path + ": " + why;
    return std::nullopt;
  };
  const RegularFile file(recording_path);
  if (file.fd() < 0) return fail(file.why_not());
  struct stat st {};
  if (::fstat(file.fd(), &st) != 0) return fail(std::strerror(errno));
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  const int64_t mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;

  const std::string cache_path = stats_path_for(recording_path);
  if (const FileRead cached = read_regular_file(cache_path, kCacheReadLimit);
      cached.ok() && !cached.truncated)
    if (auto s = parse_stats_cache(cached.bytes, size, mtime_ns)) return s;

  std::string why;
  auto rec = parse_recording(
      file.read_at(0, static_cast<size_t>(std::min<uint64_t>(size, kRecordingReadLimit))), &why);
  if (!rec) return fail(why);
  if (size > kRecordingReadLimit) rec->complete = false;
  auto stats = run_stats(*rec, &why);
  if (!stats) return fail(why);
  (void)replace_file(cache_path, format_stats_cache(*stats, size, mtime_ns));
  return stats;
}

}  // namespace quillot
