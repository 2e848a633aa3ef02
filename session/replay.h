#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/canvas.h"
#include "game/state.h"
#include "session/flow.h"
#include "session/input.h"
#include "session/start_state.h"

namespace quillot {

// Version 2 adds the outside world's answers. Every body line names its kind
// in its second word, so later kinds join version 2; a reader refuses a kind
// it does not know. Version 1 files hold only inputs and checks.
constexpr int kRecordingVersion = 2;

// A recorded session: how the game started and every input, in order, each
// with the number of frame ticks run before it was handled. Every 20 ticks the
// state's checksum is noted, so a replay finds the first tick that differs.
// Where the outside world answered otherwise than it usually does (a save
// that could not be written, a story picture that could not be loaded), the
// answer is a line of its own, so the game takes the same road wherever it is
// replayed. A gentler pace chosen by the player (the ticks come further
// apart; the game itself is the same) is a line of its own too, so that a
// watcher sees the game at the pace it was played; a tick that runs inside an input or a tick is numbered as the
// ticks run once it has ended.
struct Recording {
  struct Line {
    enum class Kind : uint8_t { Event, Check, End, SaveFailed, PictureFailed, Speed } kind = Kind::Event;
    int64_t tick = 0;
    Input input;            // Event
    uint64_t checksum = 0;  // Check and End
    int32_t percent = 100;  // Speed: the game's pace from this tick on
  };
  int version = kRecordingVersion;
  uint32_t seed = 0;
  Profile profile;
  std::array<StoryRec, kSlots> stories{};
  // A game recorded after earlier ones in the same session starts from what
  // they left; without it the game starts fresh, as a session does.
  std::optional<StartState> state;
  std::vector<Line> lines;
  bool complete = false;  // the last line is the end line
  std::string cut;        // for an incomplete recording, what is missing
};

constexpr int64_t kCheckEvery = 20;

std::string format_recording_header(const Recording& r);
// A line of a recording as an error message quotes it: at most 80 bytes,
// every byte that is not printable ASCII written as \xNN, so a shared file
// can neither steer the terminal nor flood it.
std::string quoted_line(std::string_view text);
std::string format_line(const Recording::Line& line);
// Reads a recording; on a malformed file, the reason.
std::optional<Recording> parse_recording(std::string_view text, std::string* error);

// A recording is read up to this size: hours of mouse moves fit, and a file
// of any size cannot fill the memory.
constexpr size_t kRecordingReadLimit = 32 * 1024 * 1024;

// Writes a recording as the game is played; every line is written at once so
// a session that is killed still leaves a file that replays up to that point.
// A write error (a full disk) stops the recording: it is reported once on
// stderr, the file is cut back to its last whole line and the game goes on.
class Recorder {
 public:
  // Opens `path` for a new recording without writing anything yet. Only an
  // empty file or an earlier recording is overwritten; anything else (a save
  // file, a folder, a FIFO) is refused, and error() says why.
  explicit Recorder(const std::string& path);
  Recorder(const std::string& path, const Game& start, int version = kRecordingVersion);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  bool ok() const { return fd_ >= 0 && !failed_; }
  // The recording stopped on a write error: the file lacks its end.
  bool failed() const { return failed_; }
  const std::string& error() const { return error_; }
  // The header: the seed, profile and stories the session starts from. When
  // it cannot be written (a full disk) the file is removed, since it would
  // replay as no recording at all, and error() says why.
  // `version` 1 is for recordings that older builds must read too; it cannot
  // hold the outside world's answers.
  bool begin(const Game& start, int version = kRecordingVersion);
  // The header of a game that starts where the session stands: the whole
  // state, and the window's controls as `shown` has them.
  bool begin(const Game& start, const ScreenState& shown);
  void event(int64_t tick, const Input& input);
  // The save failed, or a story picture could not be loaded, at `tick`.
  void outside(int64_t tick, Recording::Line::Kind answer);
  // The game's pace changed to `percent` of the normal one at `tick`.
  void speed(int64_t tick, int32_t percent);
  void after_tick(int64_t tick, const Game& g);
  void end(int64_t tick, const Game& g);

 private:
  bool write_header(const std::string& header);
  // 0, or the errno that stopped the recording.
  int write(const std::string& text);
  std::string path_;
  int fd_ = -1;
  int64_t whole_ = 0;  // bytes written in whole lines
  bool ended_ = false;
  bool failed_ = false;
  std::string error_;
};

// Plays a recording step by step on a game and a shell.
class Replayer {
 public:
  // Incomplete: every line was played, but the recording has no end (a
  // session that was killed, a recording stopped by a full disk).
  enum class Step : uint8_t { Tick, Event, Checked, Done, Diverged, Incomplete, Speed };
  Replayer(Recording recording, Game& g, Shell& shell, std::function<ScreenState()> screen_state);
  // Sets the game to the recording's start.
  void start();
  // Does the next thing: one tick, one input or one comparison.
  Step step();
  // Whether the next thing to do is a tick (for pacing a replay in a window).
  bool next_is_tick() const;
  int64_t ticks() const { return ticks_; }
  // The pace the recorded game was played at from here, in percent.
  int32_t speed() const { return speed_; }
  const std::string& error() const { return error_; }
  const Recording& recording() const { return rec_; }
  // Where the replay stands in its file, to come back to with the game as it
  // was then (seeking in a recording).
  struct Place {
    size_t next = 0;
    int64_t ticks = 0;
    int32_t speed = 100;
  };
  Place place() const { return {next_, ticks_, speed_}; }
  void go_to(const Place& p);

 private:
  // The shell as the recorded game found it: every call goes to the real
  // one, but the save and the story pictures answer as the recording says.
  class RecordedWorld : public Shell {
   public:
    explicit RecordedWorld(Replayer& r) : r_(r) {}
    bool save_profile(const Profile&) override;
    bool load_story_picture(const std::string& bytes) override;
    void play_music(const std::string& name) override { r_.shell_.play_music(name); }
    void show_shop() override { r_.shell_.show_shop(); }
    void show_title() override { r_.shell_.show_title(); }
    void stop_timer() override { r_.shell_.stop_timer(); }
    void set_enemy_count(int32_t count) override { r_.shell_.set_enemy_count(count); }
    void present() override { r_.shell_.present(); }
    void repaint_now() override { r_.shell_.repaint_now(); }
    void sound(Sound s) override { r_.shell_.sound(s); }
    void report(Happening h, int32_t value) override { r_.shell_.report(h, value); }
    void show_screen(Screen s) override { r_.shell_.show_screen(s); }
    void start_timer() override { r_.shell_.start_timer(); }
    bool timer_running() const override { return r_.shell_.timer_running(); }
    void enable_save() override { r_.shell_.enable_save(); }
    void disable_save() override { r_.shell_.disable_save(); }
    void message(const Text& text) override { r_.shell_.message(text); }
    void set_story_text(const std::string& bytes) override { r_.shell_.set_story_text(bytes); }
    void set_story_name(const std::string& bytes) override { r_.shell_.set_story_name(bytes); }
    void set_story_about(const std::string& bytes) override { r_.shell_.set_story_about(bytes); }
    void set_choice_visible(bool visible) override { r_.shell_.set_choice_visible(visible); }
    Canvas& bak() override { return r_.shell_.bak(); }
    Canvas& cg() override { return r_.shell_.cg(); }

   private:
    Replayer& r_;
  };
  // Whether the next line says the outside world answered `answer` now.
  bool answered(Recording::Line::Kind answer);

  Recording rec_;
  Game& g_;
  Shell& shell_;
  RecordedWorld world_{*this};
  bool in_tick_ = false;
  std::function<ScreenState()> screen_state_;
  size_t next_ = 0;
  int64_t ticks_ = 0;
  int32_t speed_ = 100;
  std::string error_;
  // The checksum of the state as it stands, until a tick or an input changes
  // it: a run of check lines at one tick costs one checksum, not one each.
  std::optional<uint64_t> checksum_now_;
};

// A window stand-in for replays without one: it keeps track of the screens and
// the timer, writes no file and shows no box.
class HeadlessShell : public Shell {
 public:
  Screen screen() const { return screen_; }
  ScreenState state() const { return {screen_, choice_, save_}; }
  bool save_profile(const Profile&) override { return true; }
  void play_music(const std::string&) override {}
  // As the window's: each visit to the shop may save once.
  void show_shop() override {
    show_screen(Screen::Shop);
    save_ = true;
  }
  void show_title() override { show_screen(Screen::Title); }
  void stop_timer() override { timer_ = false; }
  void set_enemy_count(int32_t) override {}
  void present() override {}
  void repaint_now() override {}
  void show_screen(Screen s) override { screen_ = s; }
  void start_timer() override { timer_ = true; }
  bool timer_running() const override { return timer_; }
  void enable_save() override { save_ = true; }
  void disable_save() override { save_ = false; }
  void message(const Text&) override {}
  void set_story_text(const std::string&) override {}
  bool load_story_picture(const std::string&) override { return true; }
  void set_story_name(const std::string&) override {}
  void set_story_about(const std::string&) override {}
  void set_choice_visible(bool visible) override { choice_ = visible; }
  Canvas& bak() override { return bak_; }
  Canvas& cg() override { return cg_; }

 private:
  bool timer_ = false;
  Screen screen_ = Screen::Title;
  bool choice_ = true;
  bool save_ = true;  // as the window's SAVE button starts
  NullCanvas bak_, cg_;
};

// Exit statuses of a replay.
enum ReplayStatus : int {
  kReplayMatched = 0,     // every checksum matched up to the end line
  kReplayDiverged = 1,    // the game left the recording (a checksum, an impossible input)
  kReplayRefused = 2,     // the file cannot be read or is not a well-formed recording
  kReplayIncomplete = 3,  // matched up to its last whole line, but the end is missing
};

// Reads a recording file; on failure the line to print (status kReplayRefused).
std::optional<Recording> read_recording(const std::string& path, std::string* error);

// Runs a recording without a window, as fast as it goes. Prints the outcome
// and returns its ReplayStatus.
int replay_headless(const std::string& path);

}  // namespace quillot
