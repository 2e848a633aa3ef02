#include "audio/module/effects.h"


#include <algorithm>
#include <cstring>

#include "files/file_read.h"

namespace quillot::audio {
namespace {

constexpr uint32_t kRate = 44100;

uint32_t u32(const std::vector<uint8_t>& b, std::size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

uint16_t u16(const std::vector<uint8_t>& b, std::size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

std::optional<std::vector<float>> load_wav(const std::string& path) {
  // Read as every file of the player's: a FIFO or a device put in its place
  // is refused at once, never waited on, and nothing past the limit is read.
  const FileRead file = read_regular_file(path, kMaxEffectBytes);
  if (!file.ok() || file.truncated || file.bytes.size() < 44) return std::nullopt;
  const std::vector<uint8_t> bytes(file.bytes.begin(), file.bytes.end());
  if (std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  int channels = 0;
  // Walk the chunks; every size is checked against what is left.
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const uint32_t size = u32(bytes, at + 4);
    const std::size_t body = at + 8;
    if (size > bytes.size() - body) return std::nullopt;
    if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
      if (size < 16 || u16(bytes, body) != 1 || u32(bytes, body + 4) != kRate ||
          u16(bytes, body + 14) != 16) {
        return std::nullopt;
      }
      channels = u16(bytes, body + 2);
      if (channels != 1 && channels != 2) return std::nullopt;
    } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
      if (channels == 0) return std::nullopt;
      const std::size_t frames = size / (2u * static_cast<unsigned>(channels));
      if (frames == 0) return std::nullopt;
      std::vector<float> out(frames);
      for (std::size_t i = 0; i < frames; ++i) {
        float sum = 0;
        for (int c = 0; c < channels; ++c) {
          const auto v =
              static_cast<int16_t>(u16(bytes, body + (i * static_cast<unsigned>(channels) + c) * 2));
          sum += static_cast<float>(v) / 32768.0F;
        }
        out[i] = sum / static_cast<float>(channels);
      }
      return out;
    }
    at = body + size + (size & 1);  // chunks are padded to an even length
  }
  return std::nullopt;
}

Effects::Effects(std::vector<EffectSample> kinds) : kinds_(std::move(kinds)) {
  if (kinds_.size() > kMaxKinds) kinds_.resize(kMaxKinds);
  std::size_t total = 0;
  for (auto& k : kinds_) {
    k.voices = std::clamp(k.voices, 1, 16);
    total += static_cast<std::size_t>(k.voices);
  }
  // Every voice there can be, each with one fading out beside it: render() never allocates.
  voices_.resize(2 * total);
}

void Effects::play(int kind) {
  if (kind < 0 || kind >= kinds() || kinds_[static_cast<std::size_t>(kind)].frames.empty()) return;
  pending_[static_cast<std::size_t>(kind)].fetch_add(1, std::memory_order_relaxed);
}

void Effects::drop_pending() {
  for (auto& n : pending_) n.store(0, std::memory_order_relaxed);
}

void Effects::start(int kind) {
  const auto& sample = kinds_[static_cast<std::size_t>(kind)];
  int playing = 0;
  Voice* oldest = nullptr;
  Voice* free_voice = nullptr;
  for (Voice& v : voices_) {
    if (v.kind < 0) {
      if (free_voice == nullptr) free_voice = &v;
      continue;
    }
    if (v.kind != kind || v.fade > 0) continue;
    ++playing;
    if (oldest == nullptr || v.age < oldest->age) oldest = &v;
  }
  if (playing >= sample.voices && oldest != nullptr) oldest->fade = kFadeFrames;
  if (free_voice == nullptr) {
    // Only when a kind starts more than once in one block and its fading voices
    // are still about: the oldest fading voice of this kind gives way at once.
    for (Voice& v : voices_) {
      if (v.kind == kind && v.fade > 0 && (free_voice == nullptr || v.age < free_voice->age)) free_voice = &v;
    }
    if (free_voice == nullptr) return;
  }
  *free_voice = Voice{.kind = kind, .pos = 0, .fade = 0, .age = ++started_};
}

void Effects::render(int frames, float* left, float* right) {
  if (frames <= 0) return;
  for (int k = 0; k < kinds(); ++k) {
    uint32_t n = pending_[static_cast<std::size_t>(k)].exchange(0, std::memory_order_relaxed);
    // More starts in one block than the kind has voices would only cut each other.
    n = std::min<uint32_t>(n, static_cast<uint32_t>(kinds_[static_cast<std::size_t>(k)].voices));
    while (n-- > 0) start(k);
  }
  const float level = level_.load();
  int sounding = 0;
  for (Voice& v : voices_) {
    if (v.kind < 0) continue;
    const auto& data = kinds_[static_cast<std::size_t>(v.kind)].frames;
    const bool fading = v.fade > 0;
    std::size_t n = std::min(static_cast<std::size_t>(frames), data.size() - v.pos);
    if (fading) n = std::min(n, static_cast<std::size_t>(v.fade));
    // At level 0 the voices still run on, so unmuting does not replay old sounds.
    if (level > 0.0F) {
      for (std::size_t i = 0; i < n; ++i) {
        float s = data[v.pos + i] * level;
        if (fading) s *= static_cast<float>(v.fade - static_cast<int>(i)) / kFadeFrames;
        left[i] += s;
        right[i] += s;
      }
    }
    v.pos += n;
    if (fading) v.fade -= static_cast<int>(n);
    if (v.pos >= data.size() || (fading && v.fade <= 0)) {
      v.kind = -1;
    } else {
      ++sounding;
    }
  }
  sounding_.store(sounding);
}

std::shared_ptr<Effects> load_effects(const std::string& folder, const std::vector<EffectFile>& files) {
  std::vector<EffectSample> kinds(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (auto frames = load_wav(folder + "/" + files[i].name + ".wav")) kinds[i].frames = std::move(*frames);
    kinds[i].voices = files[i].voices;
  }
  return std::make_shared<Effects>(std::move(kinds));
}

}  // namespace quillot::audio
