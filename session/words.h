#pragma once
#include <charconv>
#include <string_view>
#include <system_error>
#include <vector>

namespace quillot {

// The words of a line of our text files, split at runs of spaces.
inline std::vector<std::string_view> words(std::string_view line) {
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

// A whole word as a number: no sign where the type has none, nothing after it.
template <typename T>
bool number(std::string_view s, T& out, int base = 10) {
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
  return ec == std::errc{} && p == s.data() + s.size();
}

}  // namespace quillot
