#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "session/replay.h"

namespace quillot {

// How a recorded game ended.
enum class RunEnd : uint8_t { GameOver, Cleared, Quit };

// One recorded game as the records list shows it, without replaying it.
struct RunEntry {
  std::string file;         // the recording's name in the store's folder
  int64_t date = 0;         // when the game started, seconds since 1970
  std::string language;     // "ja" or "en"; empty when not known
  int32_t first_stage = 0;  // the stage the game started from
  int32_t stage = 0;        // the stage reached
  int32_t score = 0;        // the final score
  int64_t ticks = 0;        // play time
  RunEnd end = RunEnd::Quit;
  bool gentle = false;  // played at a gentler pace for some of the time
  std::string name;     // the player's name for a best game (UTF-8)
  // Stages whose play began in this game: a NEW START plays stage 0.
  int32_t stages_played() const { return stage - first_stage + (first_stage == 0 ? 1 : 0); }
};

// The recorded games of one folder (the player's, or the practice games')
// and their index, kept bounded: the ten best by score and the twenty last.
class RunStore {
 public:
  static constexpr size_t kBest = 10;
  static constexpr size_t kRecent = 20;
  static constexpr const char* kIndexName = "index";

  explicit RunStore(std::string folder) : folder_(std::move(folder)) {}
  const std::string& folder() const { return folder_; }
  std::string path_of(const RunEntry& e) const { return folder_ + "/" + e.file; }

  // The games listed, newest first. The index is read; recordings it does
  // not list (it was lost, damaged or left behind by a killed game) are
  // read and replayed headless to list them, and entries whose recording is
  // gone are dropped. A changed list is written back.
  std::vector<RunEntry> load();
  // A finished game joins the list, which is cut back to its bounds (the
  // recordings of the games dropped are removed) and written. False, with
  // the reason, when the index cannot be written.
  bool add(const RunEntry& entry, std::string* error = nullptr);
  // Removes a game and its recording.
  bool remove(const std::string& file, std::string* error = nullptr);
  // Gives a listed game the player's name.
  bool set_name(const std::string& file, const std::string& name, std::string* error = nullptr);

  // A new recording's name for a game started at `date` (local time) in `language`.
  std::string new_file_name(int64_t date, const std::string& language) const;

  // The entry a recording makes when the index does not have it: its header
  // and its replay tell the rest. False when it is no recording.
  static bool entry_from_recording(const std::string& path, RunEntry& out);

 private:
  bool write_index(const std::vector<RunEntry>& entries, std::string* error);
  std::string folder_;
};

// The ten best by score (the earlier game first among equals), and the
// twenty last, newest first.
std::vector<RunEntry> best_runs(std::vector<RunEntry> entries);
std::vector<RunEntry> recent_runs(std::vector<RunEntry> entries);
// Whether a game is among the ten best.
bool among_best(const std::vector<RunEntry>& entries, const std::string& file);

std::string format_run_index(const std::vector<RunEntry>& entries);
// The entries of an index file; false when it is damaged.
bool parse_run_index(std::string_view text, std::vector<RunEntry>& out);

}  // namespace quillot
