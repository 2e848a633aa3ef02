#include "session/run_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>

#include "session/run_stats.h"
#include "files/atomic_file.h"
#include "files/file_read.h"
#include "session/words.h"

namespace quillot {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kIndexMagic = "QUILLOT-RUNS 1";
constexpr const char* kEndNames[] = {"over", "cleared", "quit"};
// An index of thirty games is a few kilobytes; anything far larger is not ours.
constexpr size_t kIndexReadLimit = 1024 * 1024;


std::string hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out.empty() ? "-" : out;
}

bool unhex(std::string_view h, std::string& out) {
  out.clear();
  if (h == "-") return true;
  if (h.size() % 2 != 0) return false;
  for (size_t i = 0; i < h.size(); i += 2) {
    unsigned v = 0;
    const auto [p, ec] = std::from_chars(h.data() + i, h.data() + i + 2, v, 16);
    if (ec != std::errc{} || p != h.data() + i + 2) return false;
    out += static_cast<char>(v);
  }
  return true;
}

// A file name the store made: no folder, no dot file, ending in .qrp.
bool run_file_name(std::string_view name) {
  return name.size() > 4 && name.size() < 128 && name.front() != '.' &&
         name.find('/') == std::string_view::npos && name.substr(name.size() - 4) == ".qrp";
}

// "YYYYMMDD-HHMMSS-ll...qrp": the start's local time and the language.
void date_and_language(const std::string& file, RunEntry& e) {
  std::tm t{};
  int ymd = 0, hms = 0;
  if (file.size() >= 18 && number(std::string_view(file).substr(0, 8), ymd) && file[8] == '-' &&
      number(std::string_view(file).substr(9, 6), hms) && file[15] == '-') {
    t.tm_year = ymd / 10000 - 1900;
    t.tm_mon = ymd / 100 % 100 - 1;
    t.tm_mday = ymd % 100;
    t.tm_hour = hms / 10000;
    t.tm_min = hms / 100 % 100;
    t.tm_sec = hms % 100;
    t.tm_isdst = -1;
    e.date = static_cast<int64_t>(std::mktime(&t));
    e.language = file.substr(16, 2);
    if (e.language != "ja" && e.language != "en") e.language.clear();
  }
}

}  // namespace

std::string format_run_index(const std::vector<RunEntry>& entries) {
  std::string out = std::string(kIndexMagic) + "\n";
  for (const RunEntry& e : entries) {
    out += e.file + " " + std::to_string(e.date) + " " + (e.language.empty() ? "-" : e.language) + " " +
           std::to_string(e.first_stage) + " " + std::to_string(e.stage) + " " + std::to_string(e.score) +
           " " + std::to_string(e.ticks) + " " + kEndNames[static_cast<int>(e.end)] + " " +
           (e.gentle ? "1" : "0") + " " + hex(e.name) + "\n";
  }
  return out;
}

bool parse_run_index(std::string_view text, std::vector<RunEntry>& out) {
  out.clear();
  if (text.substr(0, kIndexMagic.size() + 1) != std::string(kIndexMagic) + "\n") return false;
  text.remove_prefix(kIndexMagic.size() + 1);
  std::set<std::string, std::less<>> seen;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    if (nl == std::string_view::npos) return false;  // cut off
    const auto w = words(text.substr(0, nl));
    text.remove_prefix(nl + 1);
    RunEntry e;
    if (w.size() != 10 || !run_file_name(w[0]) || !seen.insert(std::string(w[0])).second) return false;
    e.file = std::string(w[0]);
    e.language = w[2] == "-" ? "" : std::string(w[2]);
    int end = -1;
    for (int i = 0; i < 3; ++i)
      if (w[7] == kEndNames[i]) end = i;
    if (!number(w[1], e.date) || !number(w[3], e.first_stage) || !number(w[4], e.stage) ||
        !number(w[5], e.score) || !number(w[6], e.ticks) || end < 0 || (w[8] != "0" && w[8] != "1") ||
        !unhex(w[9], e.name))
      return false;
    e.end = static_cast<RunEnd>(end);
    e.gentle = w[8] == "1";
    out.push_back(std::move(e));
  }
  return true;
}

std::vector<RunEntry> best_runs(std::vector<RunEntry> entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const RunEntry& a, const RunEntry& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.date != b.date) return a.date < b.date;
    return a.file < b.file;
  });
  if (entries.size() > RunStore::kBest) entries.resize(RunStore::kBest);
  return entries;
}

namespace {

std::vector<RunEntry> newest_first(std::vector<RunEntry> entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const RunEntry& a, const RunEntry& b) {
    if (a.date != b.date) return a.date > b.date;
    return a.file > b.file;
  });
  return entries;
}

}  // namespace

std::vector<RunEntry> recent_runs(std::vector<RunEntry> entries) {
  entries = newest_first(std::move(entries));
  if (entries.size() > RunStore::kRecent) entries.resize(RunStore::kRecent);
  return entries;
}

bool among_best(const std::vector<RunEntry>& entries, const std::string& file) {
  for (const RunEntry& e : best_runs(entries))
    if (e.file == file) return true;
  return false;
}

bool RunStore::entry_from_recording(const std::string& path, RunEntry& out) {
  std::string error;
  auto rec = read_recording(path, &error);
  if (!rec) return false;
  out.file = fs::path(path).filename().string();
  date_and_language(out.file, out);
  if (out.date == 0) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) out.date = static_cast<int64_t>(st.st_mtime);
  }
  // A NEW START plays from stage 0; a COUNTINUE from the saved stage on.
  const auto first = std::find_if(rec->lines.begin(), rec->lines.end(),
                                  [](const Recording::Line& l) { return l.kind == Recording::Line::Kind::Event; });
  const bool new_start = first != rec->lines.end() && first->input == Input::click(Control::Button1);
  out.first_stage = new_start ? 0 : rec->profile.stage;
  Input last{};
  for (const Recording::Line& l : rec->lines) {
    if (l.kind == Recording::Line::Kind::Speed && l.percent < 100) out.gentle = true;
    if (l.kind == Recording::Line::Kind::Event) last = l.input;
  }
  Game g;
  HeadlessShell shell;
  Replayer replayer(std::move(*rec), g, shell, [&shell] { return shell.state(); });
  replayer.start();
  bool in_play = false;  // a NEW START or CONTINUE started it
  Replayer::Step step = Replayer::Step::Tick;
  for (;;) {
    step = replayer.step();
    if (step == Replayer::Step::Event && shell.screen() != Screen::Title) in_play = true;
    if (step == Replayer::Step::Done || step == Replayer::Step::Diverged ||
        step == Replayer::Step::Incomplete)
      break;
  }
  out.ticks = replayer.ticks();
  out.stage = g.profile.stage;
  const bool over = step == Replayer::Step::Done && in_play && shell.screen() == Screen::Title;
  const bool cleared = step == Replayer::Step::Done && last == Input::click(Control::Button5) &&
                       g.profile.stage >= 46 && shell.screen() == Screen::Shop;
  out.end = over ? RunEnd::GameOver : cleared ? RunEnd::Cleared : RunEnd::Quit;
  out.score = over ? g.last_score : g.profile.score;
  return true;
}

std::vector<RunEntry> RunStore::load() {
  std::vector<RunEntry> entries;
  const FileRead index = read_regular_file(folder_ + "/" + kIndexName, kIndexReadLimit);
  bool changed = !index.ok() || index.truncated || !parse_run_index(index.bytes, entries);
  if (changed) entries.clear();
  std::set<std::string> present;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (run_file_name(name) && it->is_regular_file(ec)) present.insert(name);
  }
  const size_t before = entries.size();
  std::erase_if(entries, [&](const RunEntry& e) { return present.count(e.file) == 0; });
  changed = changed || entries.size() != before;
  for (const RunEntry& e : entries) present.erase(e.file);
  for (const std::string& name : present) {
    RunEntry e;
    if (entry_from_recording(folder_ + "/" + name, e)) {
      entries.push_back(std::move(e));
      changed = true;
    }
  }
  entries = newest_first(std::move(entries));
  if (changed && fs::is_directory(folder_, ec)) write_index(entries, nullptr);
  return entries;
}

bool RunStore::write_index(const std::vector<RunEntry>& entries, std::string* error) {
  const std::string path = folder_ + "/" + kIndexName;
  if (const int err = replace_file(path, format_run_index(entries)); err != 0) {
    if (error) *error = path + ": " + std::strerror(err);
    return false;
  }
  return true;
}

bool RunStore::add(const RunEntry& entry, std::string* error) {
  std::vector<RunEntry> entries = load();
  std::erase_if(entries, [&](const RunEntry& e) { return e.file == entry.file; });
  entries.push_back(entry);
  std::set<std::string> keep;
  for (const RunEntry& e : best_runs(entries)) keep.insert(e.file);
  for (const RunEntry& e : recent_runs(entries)) keep.insert(e.file);
  std::vector<RunEntry> kept;
  for (RunEntry& e : entries) {
    if (keep.count(e.file) != 0) {
      kept.push_back(std::move(e));
    } else {
      ::unlink(path_of(e).c_str());
      ::unlink(stats_path_for(path_of(e)).c_str());
    }
  }
  return write_index(newest_first(std::move(kept)), error);
}

bool RunStore::remove(const std::string& file, std::string* error) {
  if (!run_file_name(file)) return false;
  std::vector<RunEntry> entries = load();
  std::erase_if(entries, [&](const RunEntry& e) { return e.file == file; });
  // The index first: a recording left behind is listed again, never a listed one missing.
  if (!write_index(entries, error)) return false;
  // Its statistics go with it; they are made again from a recording, never the other way.
  ::unlink(stats_path_for(folder_ + "/" + file).c_str());
  if (::unlink((folder_ + "/" + file).c_str()) != 0 && errno != ENOENT) {
    if (error) *error = folder_ + "/" + file + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool RunStore::set_name(const std::string& file, const std::string& name, std::string* error) {
  std::vector<RunEntry> entries = load();
  for (RunEntry& e : entries)
    if (e.file == file) e.name = name;
  return write_index(entries, error);
}

std::string RunStore::new_file_name(int64_t date, const std::string& language) const {
  const auto t = static_cast<std::time_t>(date);
  std::tm local{};
  localtime_r(&t, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = std::string(stamp) + "-" + (language.empty() ? "ja" : language);
  std::error_code ec;
  for (int n = 1;; ++n) {
    const std::string name = base + (n == 1 ? "" : "-" + std::to_string(n)) + ".qrp";
    if (!fs::exists(folder_ + "/" + name, ec)) return name;
  }
}

}  // namespace quillot
