#include "session/story_file.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "files/file_read.h"

namespace quillot {

void parse_stories(std::string_view bytes, std::array<StoryRec, kSlots>& stories) {
  if (const size_t eof = bytes.find('\x1A'); eof != std::string_view::npos) bytes = bytes.substr(0, eof);
  size_t pos = 0;
  auto next_line = [&]() -> std::string {
    if (pos >= bytes.size()) return {};
    const size_t cr = bytes.find('\r', pos);
    const size_t end = cr == std::string_view::npos ? bytes.size() : cr;
    std::string line(bytes.substr(pos, std::min(end - pos, kStoryLineLimit)));
    pos = end;
    if (pos < bytes.size()) ++pos;  // the CR
    if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    return line;
  };
  for (StoryRec& r : stories) {
    r.text = next_line();
    r.picture = next_line();
    r.name = next_line();
    r.about = next_line();
    r.choice = next_line();
  }
}

std::optional<FileError> load_stories(const std::string& path, std::array<StoryRec, kSlots>& stories) {
  const FileRead file = read_regular_file(path, kStoryReadLimit);
  if (!file.ok()) return file_error(file.error, false);
  parse_stories(file.bytes, stories);
  return std::nullopt;
}

std::string cp932_to_utf8(std::string_view bytes) {
  std::string out;
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (unsigned char c : bytes) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  out.reserve(bytes.size() * 3 / 2);
  size_t pos = 0;
  char buffer[256];
  while (pos < bytes.size()) {
    char* in = const_cast<char*>(bytes.data() + pos);
    size_t in_left = bytes.size() - pos;
    char* o = buffer;
    size_t out_left = sizeof buffer;
    const size_t r = iconv(cd, &in, &in_left, &o, &out_left);
    out.append(buffer, static_cast<size_t>(o - buffer));
    pos = bytes.size() - in_left;
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not valid here
      ++pos;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

bool is_plain_file_name(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.find("..") != std::string_view::npos) return false;
  // Checked on the decoded name: in the raw bytes 0x5C is also the second
  // byte of some Japanese characters.
  return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

const StoryRec* story_for_stage(const std::array<StoryRec, kSlots>& stories, int32_t stage) {
  if (stage < 0 || stage >= kSlots) return nullptr;
  const StoryRec& r = stories[static_cast<size_t>(stage)];
  return r.text.empty() ? nullptr : &r;
}

}  // namespace quillot
