#include "audio/module/midi_file.h"

#include <algorithm>
#include <filesystem>

#include "files/file_read.h"

namespace quillot::audio {
namespace {

// The player counts ticks in a C int; far below that, and still days of music.
constexpr int64_t kMaxEndTick = int64_t{1} << 30;
// The player holds at most this many tracks and refuses a file with more.
constexpr int kMaxTracks = 128;

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool at_end() const { return pos_ >= bytes_.size(); }
  std::size_t left() const { return bytes_.size() - pos_; }

  bool byte(uint8_t& out) {
    if (at_end()) return false;
    out = bytes_[pos_++];
    return true;
  }
  uint8_t previous() const { return pos_ > 0 ? bytes_[pos_ - 1] : 0; }
  bool u16(uint32_t& out) { return number(2, out); }
  bool u32(uint32_t& out) { return number(4, out); }

  // A variable-length quantity: at most four bytes, seven bits each.
  bool varlen(uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b = 0;
      if (!byte(b)) return false;
      out = (out << 7) | (b & 0x7Fu);
      if ((b & 0x80u) == 0) return true;
    }
    return false;
  }

  bool skip(uint64_t n) {
    if (n > left()) return false;
    pos_ += static_cast<std::size_t>(n);
    return true;
  }

  std::span<const uint8_t> take(std::size_t n) {
    auto part = bytes_.subspan(pos_, n);
    pos_ += n;
    return part;
  }

 private:
  bool number(int width, uint32_t& out) {
    out = 0;
    for (int i = 0; i < width; ++i) {
      uint8_t b = 0;
      if (!byte(b)) return false;
      out = (out << 8) | b;
    }
    return true;
  }

  std::span<const uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// Meta events whose length the player checks; a wrong length makes it refuse the file.
bool meta_length_ok(uint8_t type, uint32_t length) {
  switch (type) {
    case 0x2F:
      return length == 0;  // End of Track
    case 0x51:
      return length == 3;  // Set Tempo
    case 0x54:
      return length == 5;  // SMPTE offset
    case 0x58:
      return length == 4;  // Time signature
    case 0x59:
      return length == 2;  // Key signature
    default:
      return true;
  }
}

// Follows bank selects and program changes through a file, channel by channel,
// for the presets it makes the synth select. The synth reads the bank from
// controller 0 alone and plays channel 10 from the drum bank whatever it says.
class PresetScan {
 public:
  void event(uint8_t status, uint8_t first, uint8_t second) {
    const int channel = status & 0x0F;
    const bool drums = channel == kDrumChannel;
    switch (status & 0xF0) {
      case 0xB0:
        if (first == 0) bank_[channel] = second;
        break;
      case 0xC0:
        programmed_ |= 1u << channel;
        add({drums ? kDrumBank : bank_[channel], first});
        break;
      case 0x90:
        // A note before any program change plays the channel's first preset.
        if (second > 0 && (programmed_ & (1u << channel)) == 0) {
          programmed_ |= 1u << channel;
          info_->default_channels |= static_cast<uint16_t>(1u << channel);
          add({drums ? kDrumBank : 0, 0});
        }
        break;
      default:
        break;
    }
  }
  void begin(MidiInfo& info) { info_ = &info; }

 private:
  void add(Preset preset) {
    auto& presets = info_->presets;
    if (std::find(presets.begin(), presets.end(), preset) == presets.end()) presets.push_back(preset);
  }

  MidiInfo* info_ = nullptr;
  int bank_[16] = {};
  uint32_t programmed_ = 0;
};

// Walks one track chunk; returns its end tick, or -1 when it is malformed.
int64_t walk_track(std::span<const uint8_t> chunk, PresetScan& scan) {
  Reader in(chunk);
  int64_t tick = 0;
  uint8_t running = 0;
  while (!in.at_end()) {
    uint32_t delta = 0;
    if (!in.varlen(delta)) return -1;
    tick += delta;
    if (tick > kMaxEndTick) return -1;

    uint8_t status = 0;
    if (!in.byte(status)) return -1;
    bool first_data_read = false;
    if (status < 0x80) {
      // Running status: this byte is already the first data byte.
      if (running == 0) return -1;
      status = running;
      first_data_read = true;
    }

    if (status < 0xF0) {
      running = status;
      const uint8_t kind = status & 0xF0;
      const int count = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
      uint8_t data[2] = {};
      if (first_data_read) data[0] = in.previous();
      for (int i = first_data_read ? 1 : 0; i < count; ++i) {
        if (!in.byte(data[i]) || data[i] >= 0x80) return -1;
      }
      scan.event(status, data[0], data[1]);
    } else if (status == 0xF0 || status == 0xF7) {
      running = 0;
      uint32_t length = 0;
      if (!in.varlen(length) || !in.skip(length)) return -1;
    } else if (status == 0xFF) {
      running = 0;
      uint8_t type = 0;
      uint32_t length = 0;
      if (!in.byte(type) || !in.varlen(length)) return -1;
      if (!meta_length_ok(type, length) || length > in.left()) return -1;
      auto payload = in.take(length);
      // A tempo of zero would stop the player's clock dividing time into ticks.
      if (type == 0x51 && payload[0] == 0 && payload[1] == 0 && payload[2] == 0) return -1;
      if (type == 0x2F) return tick;
    } else {
      return -1;  // system common and real-time bytes have no place in a file
    }
  }
  return tick;
}

bool is_ascii_id(std::span<const uint8_t> id) {
  for (uint8_t c : id) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::optional<MidiInfo> inspect_midi(std::span<const uint8_t> bytes) {
  Reader in(bytes);
  if (in.left() < 14) return std::nullopt;
  auto magic = in.take(4);
  if (magic[0] != 'M' || magic[1] != 'T' || magic[2] != 'h' || magic[3] != 'd') return std::nullopt;
  uint32_t header_length = 0, format = 0, tracks = 0, division = 0;
  in.u32(header_length);
  in.u16(format);
  in.u16(tracks);
  in.u16(division);
  if (header_length != 6 || format > 1) return std::nullopt;
  if (tracks == 0 || tracks > static_cast<uint32_t>(kMaxTracks)) return std::nullopt;
  // Bit 15 set means SMPTE frames, which the player cannot time.
  if (division == 0 || (division & 0x8000u) != 0) return std::nullopt;

  MidiInfo info;
  info.format = static_cast<int>(format);
  info.tracks = static_cast<int>(tracks);
  info.division = static_cast<int>(division);
  PresetScan scan;
  scan.begin(info);
  int found = 0;
  while (found < info.tracks) {
    if (in.left() < 8) return std::nullopt;
    auto id = in.take(4);
    uint32_t length = 0;
    in.u32(length);
    if (!is_ascii_id(id) || length > in.left()) return std::nullopt;
    auto chunk = in.take(length);
    if (id[0] != 'M' || id[1] != 'T' || id[2] != 'r' || id[3] != 'k') continue;  // foreign chunk
    const int64_t end = walk_track(chunk, scan);
    if (end < 0) return std::nullopt;
    info.end_tick = std::max(info.end_tick, end);
    ++found;
  }
  return info;
}

std::optional<Track> load_track(const std::string& dat_dir, const std::string& name) {
  if (name.empty() || name.find_first_of(std::string("/\\\0", 3)) != std::string::npos ||
      name.find("..") != std::string::npos) {
    return std::nullopt;
  }
  const std::filesystem::path path = std::filesystem::path(dat_dir) / name;
  // Only a regular file, opened without blocking: a FIFO or a device put in
  // place of a track is refused at once, never waited on.
  const FileRead file = read_regular_file(path.string(), kMaxTrackBytes);
  if (!file.ok() || file.truncated || file.bytes.empty()) return std::nullopt;

  Track track;
  track.name = name;
  track.bytes.assign(file.bytes.begin(), file.bytes.end());
  auto info = inspect_midi(track.bytes);
  if (!info || info->end_tick <= 0) return std::nullopt;
  track.info = *info;
  return track;
}

}  // namespace quillot::audio
