#include "session/profile_file.h"

#include <cerrno>

#include "files/atomic_file.h"
#include "files/file_read.h"

namespace quillot {

const char* const kFileNotFound = QT_TRANSLATE_NOOP("quillot", "ﾌｧｲﾙが見つかりません");
const char* const kNotANumber = QT_TRANSLATE_NOOP("quillot", "入力値が数値ではありません");
const char* const kAccessDenied = QT_TRANSLATE_NOOP("quillot", "ﾌｧｲﾙ ｱｸｾｽが拒否されました");

namespace {

constexpr char kEndOfFile = 0x1A;
constexpr size_t kMaxNumberText = 32;

bool is_blank(unsigned char c) { return c <= 0x20 && c != static_cast<unsigned char>(kEndOfFile); }

// A signed 32-bit decimal number with an optional sign; anything else does not convert.
std::optional<int32_t> convert(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return std::nullopt;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > 2147483648ull) return std::nullopt;
  }
  if (!negative && value > 2147483647ull) return std::nullopt;
  return static_cast<int32_t>(negative ? 0ull - value : value);
}

}  // namespace

FileError file_error(int err, bool writing) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return {writing ? QT_TRANSLATE_NOOP("quillot", "ﾊﾟｽが見つかりません") : kFileNotFound};
    case EACCES:
    case EPERM:
    case EROFS:
    // Something that is not a plain file (a folder, a FIFO, a device) stands
    // where the file should be: the game may not use it as one.
    case EISDIR:
    case ENODEV:
    case ELOOP:
      return {kAccessDenied};
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return {QT_TRANSLATE_NOOP("quillot", "ﾃﾞｨｽｸがいっぱいです")};
    default:
      return {Text(QT_TRANSLATE_NOOP("quillot", "入出力ｴﾗｰ %1"), {std::to_string(err)})};
  }
}

std::optional<FileError> parse_profile(std::string_view bytes, Profile& profile) {
  size_t pos = 0;
  for (int32_t* field : profile_fields(profile)) {
    while (pos < bytes.size() && is_blank(static_cast<unsigned char>(bytes[pos]))) ++pos;
    if (pos >= bytes.size() || bytes[pos] == kEndOfFile) {
      *field = 0;
      continue;
    }
    const size_t start = pos;
    while (pos < bytes.size() && pos - start<kMaxNumberText&& static_cast<unsigned char>(bytes[pos])> 0x20)
      ++pos;
    const auto value = convert(bytes.substr(start, pos - start));
    if (!value) return FileError{kNotANumber};
    *field = *value;
    // The rest of the line: only a carriage return ends it, so a file of bare
    // line feeds is one long line.
    const size_t cr = bytes.find('\r', pos);
    pos = cr == std::string_view::npos ? bytes.size() : cr + 1;
    if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
  }
  return std::nullopt;
}

std::optional<FileError> load_profile(const std::string& path, Profile& profile) {
  const FileRead file = read_regular_file(path, kProfileReadLimit);
  if (!file.ok()) return file_error(file.error, false);
  return parse_profile(file.bytes, profile);
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
  if (const int err = replace_file(path, format_profile(profile))) return file_error(err, true);
  return std::nullopt;
}

}  // namespace quillot
