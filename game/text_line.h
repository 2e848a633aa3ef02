#pragma once
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace quillot {

// A line of text built on the stack: the tick allocates nothing.
class Line {
 public:
  Line& operator<<(std::string_view s) {
    const size_t n = std::min(s.size(), buf_.size() - len_);
    len_ += s.copy(buf_.data() + len_, n);
    return *this;
  }
  Line& operator<<(int32_t n) {
    const auto [end, error] = std::to_chars(buf_.data() + len_, buf_.data() + buf_.size(), n);
    if (error == std::errc{}) len_ = static_cast<size_t>(end - buf_.data());
    return *this;
  }
  std::string_view view() const { return {buf_.data(), len_}; }

 private:
  std::array<char, 128> buf_{};
  size_t len_ = 0;
};

}  // namespace quillot
