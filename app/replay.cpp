#include "app/replay.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "app/shop_actions.h"
#include "app/story_file.h"
#include "game/bird.h"
#include "game/checksum.h"
#include "game/tick.h"

namespace quillot {

namespace {

constexpr const char* kMagic = "QUILLOT-RECORDING";

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

template <typename T>
bool number(std::string_view s, T& out, int base = 10) {
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
  return ec == std::errc{} && p == s.data() + s.size();
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::string hex64(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016" PRIx64, v);
  return buf;
}

}  // namespace

std::string format_recording_header(const Recording& r) {
  std::string out = std::string(kMagic) + " " + std::to_string(kRecordingVersion) + "\n";
  out += "seed " + std::to_string(r.seed) + "\n";
  out += "profile";
  for (int32_t v : profile_values(r.profile)) out += " " + std::to_string(v);
  out += "\nstories " + to_hex(story_bytes(r.stories)) + "\n";
  return out;
}

std::string format_line(const Recording::Line& line) {
  switch (line.kind) {
    case Recording::Line::Kind::Event:
      return std::to_string(line.tick) + " " + line.event + "\n";
    case Recording::Line::Kind::Check:
      return std::to_string(line.tick) + " check " + hex64(line.checksum) + "\n";
    case Recording::Line::Kind::End:
      return std::to_string(line.tick) + " end " + hex64(line.checksum) + "\n";
  }
  return {};
}

std::optional<Recording> parse_recording(std::string_view text, std::string* error) {
  Recording r;
  int line_no = 0;
  bool have_seed = false, have_profile = false;
  int64_t last_tick = 0;
  auto fail = [&](const std::string& why) -> std::optional<Recording> {
    if (error) *error = "line " + std::to_string(line_no) + ": " + why;
    return std::nullopt;
  };
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const auto w = words(line);
    if (line_no == 1) {
      int version = 0;
      if (w.size() != 2 || w[0] != kMagic || !number(w[1], version)) return fail("not a QUILLOT recording");
      if (version != kRecordingVersion) return fail("recording version " + std::string(w[1]) + " is not supported");
      continue;
    }
    if (w[0] == "seed") {
      if (w.size() != 2 || !number(w[1], r.seed)) return fail("bad seed");
      have_seed = true;
    } else if (w[0] == "profile") {
      if (w.size() != 1 + kProfileFields) return fail("a profile has 13 values");
      auto fields = profile_fields(r.profile);
      for (int i = 0; i < kProfileFields; ++i)
        if (!number(w[static_cast<size_t>(i) + 1], *fields[static_cast<size_t>(i)])) return fail("bad profile value");
      have_profile = true;
    } else if (w[0] == "stories") {
      const auto bytes = from_hex(w.size() == 2 ? w[1] : std::string_view{});
      if (w.size() > 2 || (w.size() == 2 && !bytes)) return fail("bad story data");
      parse_stories(bytes.value_or(""), r.stories);
    } else {
      Recording::Line l;
      if (w.size() < 2 || !number(w[0], l.tick) || l.tick < last_tick) return fail("bad tick");
      last_tick = l.tick;
      if (w[1] == "check" || w[1] == "end") {
        if (w.size() != 3 || !number(w[2], l.checksum, 16)) return fail("bad checksum");
        l.kind = w[1] == "check" ? Recording::Line::Kind::Check : Recording::Line::Kind::End;
      } else {
        l.event = std::string(line.substr(static_cast<size_t>(w[1].data() - line.data())));
      }
      r.lines.push_back(std::move(l));
    }
  }
  if (line_no == 0) return fail("empty file");
  if (!have_seed || !have_profile) return fail("the seed or the profile is missing");
  return r;
}

Recorder::Recorder(const std::string& path, const Game& start) : out_(path, std::ios::binary | std::ios::trunc) {
  Recording r;
  r.seed = start.random.seed;
  r.profile = start.profile;
  r.stories = start.stories;
  out_ << format_recording_header(r) << std::flush;
}

void Recorder::write(const Recording::Line& line) {
  if (!ended_) out_ << format_line(line) << std::flush;
}

void Recorder::event(int64_t tick, const std::string& event) {
  Recording::Line l;
  l.tick = tick;
  l.event = event;
  write(l);
}

void Recorder::after_tick(int64_t tick, const Game& g) {
  if (tick % kCheckEvery != 0) return;
  write(Recording::Line{Recording::Line::Kind::Check, tick, {}, checksum(g)});
}

void Recorder::end(int64_t tick, const Game& g) {
  write(Recording::Line{Recording::Line::Kind::End, tick, {}, checksum(g)});
  ended_ = true;
}

bool apply_event(Game& g, Shell& shell, const std::string& event) {
  const auto w = words(event);
  if (w.size() != 2) return false;
  if (w[0] == "move") {
    int32_t x = 0;
    if (!number(w[1], x)) return false;
    cgMouseMove(g, x);
    return true;
  }
  if (w[0] == "down") {
    const MouseButton b = w[1] == "left" ? MouseButton::Left : w[1] == "right" ? MouseButton::Right : MouseButton::Other;
    cgMouseDown(g, b, shell.cg(), shell);
    return true;
  }
  if (w[0] != "click") return false;
  const std::string_view c = w[1];
  if (c == "Button1") return new_start(g, shell), true;
  if (c == "Button4") return continue_game(g, shell), true;
  if (c == "Button5") return next_from_shop(g, shell), true;
  if (c == "Button6") return retry_from_shop(g, shell), true;
  if (c == "Button8" || c == "Button9") return story_next(g, shell), true;
  if (c == "Button10") return story_no(g, shell), true;
  int item = 0;
  if (c.size() >= 2 && c[0] == 'a' && number(c.substr(1), item) && item >= 1 && item <= 10) {
    shop_click(g, shell, static_cast<shop::Item>(item - 1));
    return true;
  }
  return false;
}

Replayer::Replayer(Recording recording, Game& g, Shell& shell) : rec_(std::move(recording)), g_(g), shell_(shell) {}

void Replayer::start() {
  g_ = Game{};
  g_.random.seed = rec_.seed;
  g_.profile = rec_.profile;
  g_.stories = rec_.stories;
  next_ = 0;
  ticks_ = 0;
}

bool Replayer::next_is_tick() const { return next_ < rec_.lines.size() && ticks_ < rec_.lines[next_].tick; }

Replayer::Step Replayer::step() {
  if (next_ >= rec_.lines.size()) return Step::Done;
  const Recording::Line& l = rec_.lines[next_];
  if (ticks_ < l.tick) {
    if (!shell_.timer_running()) {
      error_ = "after tick " + std::to_string(ticks_) + ": the recording goes on playing, but the stage has ended";
      return Step::Diverged;
    }
    Timer1Timer(g_, shell_.bak(), shell_);
    ++ticks_;
    return Step::Tick;
  }
  ++next_;
  switch (l.kind) {
    case Recording::Line::Kind::Event:
      if (!apply_event(g_, shell_, l.event)) {
        error_ = "tick " + std::to_string(l.tick) + ": unknown input \"" + l.event + "\"";
        return Step::Diverged;
      }
      return Step::Event;
    case Recording::Line::Kind::Check:
    case Recording::Line::Kind::End: {
      const uint64_t now = checksum(g_);
      if (now != l.checksum) {
        error_ = "tick " + std::to_string(l.tick) + ": the game state differs from the recording (" + hex64(now) +
                 ", recorded " + hex64(l.checksum) + ")";
        return Step::Diverged;
      }
      return l.kind == Recording::Line::Kind::End ? Step::Done : Step::Checked;
    }
  }
  return Step::Done;
}

int replay_headless(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "quillot: cannot read %s\n", path.c_str());
    return 2;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string error;
  auto rec = parse_recording(text, &error);
  if (!rec) {
    std::fprintf(stderr, "quillot: %s: %s\n", path.c_str(), error.c_str());
    return 2;
  }
  Game g;
  HeadlessShell shell;
  Replayer replayer(std::move(*rec), g, shell);
  replayer.start();
  int checks = 0;
  for (;;) {
    switch (replayer.step()) {
      case Replayer::Step::Tick:
      case Replayer::Step::Event:
        break;
      case Replayer::Step::Checked:
        ++checks;
        break;
      case Replayer::Step::Done:
        std::printf("%s: %lld ticks, %d checks, all matched\n", path.c_str(),
                    static_cast<long long>(replayer.ticks()), checks + 1);
        return 0;
      case Replayer::Step::Diverged:
        std::fprintf(stderr, "%s: %s\n", path.c_str(), replayer.error().c_str());
        return 1;
    }
  }
}

}  // namespace quillot
