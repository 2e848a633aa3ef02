#include "session/replay.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <utility>

#include "game/bird.h"
#include "game/checksum.h"
#include "game/tick.h"
#include "files/atomic_file.h"
#include "files/file_read.h"
#include "session/pace.h"
#include "session/shop_actions.h"
#include "session/story_file.h"
#include "session/words.h"

namespace quillot {

namespace {

constexpr std::string_view kMagic = "QUILLOT-RECORDING";

std::string to_hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::optional<std::string> from_hex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    unsigned v = 0;
    const auto [p, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, v, 16);
    if (ec != std::errc{} || p != hex.data() + i + 2) return std::nullopt;
    out += static_cast<char>(v);
  }
  return out;
}

// The stories as the story file would hold them: five CR LF lines a record.
std::string story_bytes(const std::array<StoryRec, kSlots>& stories) {
  std::string out;
  for (const StoryRec& r : stories)
    for (const std::string* f : {&r.text, &r.picture, &r.name, &r.about, &r.choice}) out += *f + "\r\n";
  return out;
}


std::string hex64(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016" PRIx64, v);
  return buf;
}

const char* screen_name(Screen s) {
  switch (s) {
    case Screen::Title:
      return "the title screen";
    case Screen::Shop:
      return "the shop";
    case Screen::Story:
      return "the story screen";
    case Screen::None:
      break;
  }
  return "the playfield";
}

// Opens a file for a new recording and empties it; on refusal the reason.
std::string open_recording_file(const std::string& path, int& fd) {
  const char* const not_plain = "not a plain file; a recording goes into a file of its own";
  if (is_non_regular(path)) return not_plain;
  // Without blocking, so a FIFO put in place meanwhile is refused at once too.
  const int f = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (f < 0) return std::strerror(errno);
  std::string why;
  struct stat st {};
  if (::fstat(f, &st) != 0) {
    why = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    why = not_plain;
  } else if (st.st_size > 0) {
    // Only an earlier recording may be replaced, never a save or any other file.
    std::string head(kMagic.size() + 1, '\0');
    const ssize_t n = ::pread(f, head.data(), head.size(), 0);
    if (n != static_cast<ssize_t>(head.size()) || head != std::string(kMagic) + " ")
      why = "the file exists and is not a recording; it is left as it is";
  }
  if (why.empty() && ::ftruncate(f, 0) != 0) why = std::strerror(errno);
  if (why.empty()) {
    fd = f;
  } else {
    ::close(f);
  }
  return why;
}

}  // namespace

std::string format_recording_header(const Recording& r) {
  std::string out = std::string(kMagic) + " " + std::to_string(r.version) + "\n";
  out += "seed " + std::to_string(r.seed) + "\n";
  out += "profile";
  for (int32_t v : profile_values(r.profile)) out += " " + std::to_string(v);
  out += "\nstories " + to_hex(story_bytes(r.stories)) + "\n";
  if (r.state)
    out += format_state_line(r.state->game, {Screen::Title, r.state->choice_shown, r.state->save_enabled});
  return out;
}

std::string quoted_line(std::string_view text) {
  constexpr size_t kMaxQuoted = 80;
  static const char digits[] = "0123456789abcdef";
  std::string out = "\"";
  for (unsigned char c : text.substr(0, kMaxQuoted)) {
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  out += "\"";
  if (text.size() > kMaxQuoted) out += " (" + std::to_string(text.size()) + " bytes, cut)";
  return out;
}

std::string format_line(const Recording::Line& line) {
  switch (line.kind) {
    case Recording::Line::Kind::Event:
      return std::to_string(line.tick) + " " + format_input(line.input) + "\n";
    case Recording::Line::Kind::Check:
      return std::to_string(line.tick) + " check " + hex64(line.checksum) + "\n";
    case Recording::Line::Kind::End:
      return std::to_string(line.tick) + " end " + hex64(line.checksum) + "\n";
    case Recording::Line::Kind::SaveFailed:
      return std::to_string(line.tick) + " save failed\n";
    case Recording::Line::Kind::PictureFailed:
      return std::to_string(line.tick) + " picture failed\n";
    case Recording::Line::Kind::Speed:
      return std::to_string(line.tick) + " speed " + std::to_string(line.percent) + "\n";
  }
  return {};
}

std::optional<Recording> parse_recording(std::string_view text, std::string* error) {
  Recording r;
  int64_t line_no = 0;
  bool have_seed = false, have_profile = false, have_stories = false, in_body = false;
  int64_t last_tick = 0;
  auto fail = [&](const std::string& why) -> std::optional<Recording> {
    if (error) *error = "line " + std::to_string(line_no) + ": " + why;
    return std::nullopt;
  };
  if (text.empty()) {
    line_no = 1;
    return fail("empty file");
  }
  // A last line without its line end was cut off while it was written.
  std::string_view cut_line;
  if (text.back() != '\n') {
    const size_t nl = text.rfind('\n');
    cut_line = nl == std::string_view::npos ? text : text.substr(nl + 1);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(0, nl + 1);
  }
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = text.substr(nl + 1);
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto w = words(line);
    if (w.empty()) return fail("a blank line");
    if (line_no == 1) {
      int version = 0;
      if (w.size() != 2 || w[0] != kMagic || !number(w[1], version)) return fail("not a QUILLOT recording");
      if (version < 1 || version > kRecordingVersion)
        return fail("recording version " + std::string(w[1]) + " is not supported");
      r.version = version;
      continue;
    }
    if (r.complete) return fail("a line after the end line");
    const bool header = w[0] == "seed" || w[0] == "profile" || w[0] == "stories" || w[0] == "state";
    if (header && in_body) return fail(std::string(w[0]) + " after the first input");
    if (w[0] == "seed") {
      if (have_seed || w.size() != 2 || !number(w[1], r.seed)) return fail("bad seed");
      have_seed = true;
    } else if (w[0] == "profile") {
      if (have_profile || w.size() != 1 + kProfileFields) return fail("a profile has 13 values, given once");
      auto fields = profile_fields(r.profile);
      for (int i = 0; i < kProfileFields; ++i)
        if (!number(w[static_cast<size_t>(i) + 1], *fields[static_cast<size_t>(i)]))
          return fail("bad profile value");
      have_profile = true;
    } else if (w[0] == "stories") {
      const auto bytes = from_hex(w.size() == 2 ? w[1] : std::string_view{});
      if (have_stories || w.size() > 2 || (w.size() == 2 && !bytes)) return fail("bad story data");
      parse_stories(bytes.value_or(""), r.stories);
      have_stories = true;
    } else if (w[0] == "state" && r.version >= 2) {
      StartState state;
      if (r.state || !parse_state_words(w, state)) return fail("bad state");
      r.state = std::move(state);
    } else {
      if (!have_seed || !have_profile) return fail("the seed or the profile is missing");
      in_body = true;
      Recording::Line l;
      if (w.size() < 2 || !number(w[0], l.tick) || l.tick < last_tick) return fail("bad tick");
      last_tick = l.tick;
      const std::string_view said = line.substr(static_cast<size_t>(w[1].data() - line.data()));
      if (w[1] == "check" || w[1] == "end") {
        if (w.size() != 3 || !number(w[2], l.checksum, 16)) return fail("bad checksum");
        l.kind = w[1] == "check" ? Recording::Line::Kind::Check : Recording::Line::Kind::End;
        r.complete = l.kind == Recording::Line::Kind::End;
      } else if (r.version >= 2 && (w[1] == "save" || w[1] == "picture")) {
        if (w.size() != 3 || w[2] != "failed") return fail("bad answer " + quoted_line(said));
        l.kind = w[1] == "save" ? Recording::Line::Kind::SaveFailed : Recording::Line::Kind::PictureFailed;
      } else if (r.version >= 2 && w[1] == "speed") {
        if (w.size() != 3 || !number(w[2], l.percent) || !valid_speed(l.percent))
          return fail("bad speed " + quoted_line(said));
        l.kind = Recording::Line::Kind::Speed;
      } else if (const auto in = parse_input(said)) {
        l.input = *in;
      } else {
        const bool input = w[1] == "move" || w[1] == "down" || w[1] == "click";
        return fail((input || r.version < 2 ? "unknown input " : "unknown kind of line ") + quoted_line(said));
      }
      r.lines.push_back(std::move(l));
    }
  }
  if (line_no == 0 || (r.complete && !cut_line.empty())) {
    ++line_no;  // the cut line
    return fail(line_no == 1 ? "not a QUILLOT recording" : "a line after the end line");
  }
  if (!have_seed || !have_profile) return fail("the seed or the profile is missing");
  if (!r.complete)
    r.cut = cut_line.empty() ? "it has no end line"
                             : "line " + std::to_string(line_no + 1) + " is cut off and there is no end line";
  return r;
}

Recorder::Recorder(const std::string& path) : path_(path) {
  std::string why = open_recording_file(path, fd_);
  if (!why.empty()) error_ = path + ": " + why;
}

Recorder::Recorder(const std::string& path, const Game& start, int version) : Recorder(path) {
  begin(start, version);
}

Recorder::~Recorder() {
  if (fd_ >= 0) ::close(fd_);
}

bool Recorder::begin(const Game& start, int version) {
  Recording r;
  r.version = version;
  r.seed = start.random.seed;
  r.profile = start.profile;
  r.stories = start.stories;
  return write_header(format_recording_header(r));
}

bool Recorder::begin(const Game& start, const ScreenState& shown) {
  Recording r;
  r.seed = start.random.seed;
  r.profile = start.profile;
  r.stories = start.stories;
  return write_header(format_recording_header(r) + format_state_line(start, shown));
}

bool Recorder::write_header(const std::string& header) {
  const int err = write(header);
  if (err == 0) return fd_ >= 0;
  ::close(fd_);
  fd_ = -1;
  ::unlink(path_.c_str());
  error_ = "cannot record into " + path_ + ": " + std::strerror(err) + "; the file is removed";
  return false;
}

int Recorder::write(const std::string& text) {
  if (fd_ < 0 || failed_ || ended_) return 0;
  if (const int err = write_all(fd_, text); err != 0) {
    failed_ = true;
    // Whatever part of the line got through goes again, so the file ends
    // with a whole line and replays as far as it reached.
    (void)!::ftruncate(fd_, whole_);
    error_ = "the recording into " + path_ + " stopped: " + std::strerror(err);
    // Without its header the file is no recording: begin() says so instead.
    if (whole_ > 0) std::fprintf(stderr, "quillot: %s\n", error_.c_str());
    return err;
  }
  whole_ += static_cast<int64_t>(text.size());
  return 0;
}

void Recorder::event(int64_t tick, const Input& input) {
  Recording::Line l;
  l.tick = tick;
  l.input = input;
  write(format_line(l));
}

void Recorder::outside(int64_t tick, Recording::Line::Kind answer) {
  write(format_line(Recording::Line{answer, tick, {}, 0}));
}

void Recorder::speed(int64_t tick, int32_t percent) {
  Recording::Line line{Recording::Line::Kind::Speed, tick, {}, 0};
  line.percent = percent;
  write(format_line(line));
}

void Recorder::after_tick(int64_t tick, const Game& g) {
  if (tick % kCheckEvery != 0) return;
  write(format_line(Recording::Line{Recording::Line::Kind::Check, tick, {}, checksum(g)}));
}

void Recorder::end(int64_t tick, const Game& g) {
  write(format_line(Recording::Line{Recording::Line::Kind::End, tick, {}, checksum(g)}));
  ended_ = true;
}

Replayer::Replayer(Recording recording, Game& g, Shell& shell, std::function<ScreenState()> screen_state)
    : rec_(std::move(recording)), g_(g), shell_(shell), screen_state_(std::move(screen_state)) {}
void Replayer::start() {
  g_ = rec_.state ? rec_.state->game : Game{};
  if (rec_.state) {
    shell_.set_choice_visible(rec_.state->choice_shown);
    if (rec_.state->save_enabled) {
      shell_.enable_save();
    } else {
      shell_.disable_save();
    }
  }
  g_.random.seed = rec_.seed;
  g_.profile = rec_.profile;
  g_.stories = rec_.stories;
  next_ = 0;
  ticks_ = 0;
  speed_ = 100;
  checksum_now_.reset();
}

void Replayer::go_to(const Place& p) {
  next_ = p.next;
  ticks_ = p.ticks;
  speed_ = p.speed;
  error_.clear();
  checksum_now_.reset();
}

bool Replayer::next_is_tick() const { return next_ < rec_.lines.size() && ticks_ < rec_.lines[next_].tick; }

Replayer::Step Replayer::step() {
  if (next_ >= rec_.lines.size()) {
    if (rec_.complete) return Step::Done;
    error_ = "incomplete recording: " + rec_.cut + "; every line up to tick " + std::to_string(ticks_) +
             " matched";
    return Step::Incomplete;
  }
  const Recording::Line& l = rec_.lines[next_];
  if (ticks_ < l.tick) {
    if (!shell_.timer_running()) {
      error_ =
          "after tick " + std::to_string(ticks_) + ": the recording goes on playing, but the stage has ended";
      return Step::Diverged;
    }
    // The recorder notes a check every kCheckEvery ticks while a stage runs,
    // so a longer gap is not a recorded game (and could run for ever).
    if (l.tick - ticks_ > kCheckEvery) {
      error_ = "after tick " + std::to_string(ticks_) + ": the next line is at tick " +
               std::to_string(l.tick) + ", past the check due every " + std::to_string(kCheckEvery) +
               " ticks";
      return Step::Diverged;
    }
    in_tick_ = true;
    Timer1Timer(g_, world_.bak(), world_);
    in_tick_ = false;
    checksum_now_.reset();
    ++ticks_;
    return Step::Tick;
  }
  ++next_;
  switch (l.kind) {
    case Recording::Line::Kind::Event: {
      const ScreenState state = screen_state_();
      if (!input_possible(g_, state, l.input)) {
        error_ = "tick " + std::to_string(l.tick) + ": \"" + format_input(l.input) +
                 "\" is not an input a player could give on " + screen_name(state.screen) + " at that moment";
        return Step::Diverged;
      }
      apply_input(g_, world_, l.input);
      checksum_now_.reset();
      return Step::Event;
    }
    case Recording::Line::Kind::SaveFailed:
    case Recording::Line::Kind::PictureFailed:
      // Taken by the call it answers; one left over was never asked for.
      error_ = "tick " + std::to_string(l.tick) + ": the recording says " +
               (l.kind == Recording::Line::Kind::SaveFailed ? "a save" : "a story picture") +
               " failed, but the game asked for none then";
      return Step::Diverged;
    case Recording::Line::Kind::Speed:
      speed_ = l.percent;
      return Step::Speed;
    case Recording::Line::Kind::Check:
    case Recording::Line::Kind::End: {
      if (!checksum_now_) checksum_now_ = checksum(g_);
      const uint64_t now = *checksum_now_;
      if (now != l.checksum) {
        error_ = "tick " + std::to_string(l.tick) + ": the game state differs from the recording (" +
                 hex64(now) + ", recorded " + hex64(l.checksum) + ")";
        return Step::Diverged;
      }
      return l.kind == Recording::Line::Kind::End ? Step::Done : Step::Checked;
    }
  }
  return Step::Done;
}

bool Replayer::answered(Recording::Line::Kind answer) {
  // A tick's answers are numbered as the ticks run once it has ended.
  const int64_t now = in_tick_ ? ticks_ + 1 : ticks_;
  if (next_ >= rec_.lines.size() || rec_.lines[next_].kind != answer || rec_.lines[next_].tick != now)
    return false;
  ++next_;
  return true;
}

// A replay never writes the player's save: it only learns how the recorded one went.
bool Replayer::RecordedWorld::save_profile(const Profile&) {
  return !r_.answered(Recording::Line::Kind::SaveFailed);
}

// The window may show the picture it has; the game goes on as it went when recorded.
bool Replayer::RecordedWorld::load_story_picture(const std::string& bytes) {
  r_.shell_.load_story_picture(bytes);
  return !r_.answered(Recording::Line::Kind::PictureFailed);
}

std::optional<Recording> read_recording(const std::string& path, std::string* error) {
  const FileRead file = read_regular_file(path, kRecordingReadLimit);
  if (!file.ok()) {
    *error =
        path + ": cannot read: " + (file.error == ENODEV ? "not a plain file" : std::strerror(file.error));
    return std::nullopt;
  }
  std::string why;
  auto rec = parse_recording(file.bytes, &why);
  if (!rec) {
    *error = path + ": " + why;
    return std::nullopt;
  }
  if (file.truncated) {
    rec->complete = false;
    rec->cut = "only its first " + std::to_string(kRecordingReadLimit >> 20) + " MiB are read";
  }
  return rec;
}

int replay_headless(const std::string& path) {
  std::string error;
  auto rec = read_recording(path, &error);
  if (!rec) {
    std::fprintf(stderr, "quillot: %s\n", error.c_str());
    return kReplayRefused;
  }
  Game g;
  HeadlessShell shell;
  Replayer replayer(std::move(*rec), g, shell, [&shell] { return shell.state(); });
  replayer.start();
  int checks = 0;
  for (;;) {
    switch (replayer.step()) {
      case Replayer::Step::Tick:
      case Replayer::Step::Event:
      case Replayer::Step::Speed:
        break;
      case Replayer::Step::Checked:
        ++checks;
        break;
      case Replayer::Step::Done:
        std::printf("%s: %lld ticks, %d checks, all matched\n", path.c_str(),
                    static_cast<long long>(replayer.ticks()), checks + 1);
        return kReplayMatched;
      case Replayer::Step::Diverged:
        std::fprintf(stderr, "%s: %s\n", path.c_str(), replayer.error().c_str());
        return kReplayDiverged;
      case Replayer::Step::Incomplete:
        std::fprintf(stderr, "%s: %s\n", path.c_str(), replayer.error().c_str());
        return kReplayIncomplete;
    }
  }
}

}  // namespace quillot
