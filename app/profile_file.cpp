#include "app/profile_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quillot {

const char* const kFileNotFound = "ﾌｧｲﾙが見つかりません";
const char* const kNotANumber = "入力値が数値ではありません";

namespace {

constexpr char kEndOfFile = 0x1A;
constexpr size_t kMaxNumberText = 32;

bool is_blank(unsigned char c) { return c <= 0x20 && c != static_cast<unsigned char>(kEndOfFile); }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A signed 32-bit number: an optional sign, then decimal digits or "$" and hex
// digits (a hex value may use all 32 bits). Anything else does not convert.
std::optional<int32_t> convert(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return std::nullopt;
  uint64_t value = 0;
  if (text[i] == '$') {
    if (++i >= text.size()) return std::nullopt;
    for (; i < text.size(); ++i) {
      const int d = hex_digit(text[i]);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    const auto bits = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > 2147483648ull) return std::nullopt;
  }
  if (!negative && value > 2147483647ull) return std::nullopt;
  return static_cast<int32_t>(negative ? 0ull - value : value);
}

std::string error_text(int err, bool writing) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return writing ? "ﾊﾟｽが見つかりません" : kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return "ﾌｧｲﾙ ｱｸｾｽが拒否されました";
    case ENOSPC:
    case EDQUOT:
      return "ﾃﾞｨｽｸがいっぱいです";
    default:
      return "入出力ｴﾗｰ " + std::to_string(err);
  }
}

}  // namespace

std::optional<FileError> parse_profile(std::string_view bytes, Profile& profile) {
  size_t pos = 0;
  for (int32_t* field : profile_fields(profile)) {
    while (pos < bytes.size() && is_blank(static_cast<unsigned char>(bytes[pos]))) ++pos;
    if (pos >= bytes.size() || bytes[pos] == kEndOfFile) {
      *field = 0;
      continue;
    }
    const size_t start = pos;
    while (pos < bytes.size() && pos - start < kMaxNumberText && static_cast<unsigned char>(bytes[pos]) > 0x20) ++pos;
    const auto value = convert(bytes.substr(start, pos - start));
    if (!value) return FileError{kNotANumber};
    *field = *value;
    // The rest of the line: only a carriage return ends it, so a file of bare
    // line feeds is one long line.
    while (pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != kEndOfFile) ++pos;
    if (pos < bytes.size() && bytes[pos] == '\r') {
      ++pos;
      if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    }
  }
  return std::nullopt;
}

std::optional<FileError> load_profile(const std::string& path, Profile& profile) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return FileError{error_text(errno ? errno : ENOENT, false)};
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return FileError{error_text(EIO, false)};
  return parse_profile(bytes, profile);
}

std::string format_profile(const Profile& profile) {
  std::string out;
  for (int32_t v : profile_values(profile)) {
    out += std::to_string(v);
    out += "\r\n";
  }
  return out;
}

std::optional<FileError> save_profile(const std::string& path, const Profile& profile) {
  const std::string bytes = format_profile(profile);
  const std::string temp = path + ".new";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return FileError{error_text(errno, true)};
  size_t done = 0;
  int err = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    return FileError{error_text(err, true)};
  }
  return std::nullopt;
}

}  // namespace quillot
