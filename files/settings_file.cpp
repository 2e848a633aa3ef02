#include "files/settings_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "files/atomic_file.h"
#include "files/file_read.h"
#include "files/xdg_paths.h"

namespace quillot {

namespace {

// Far more than the few lines the game writes; anything bigger is not ours.
constexpr size_t kMaxSettingsBytes = 64 * 1024;
// A warning's path and reason, at most: the line stays within 200 bytes.
constexpr size_t kMaxShownPath = 80;
constexpr size_t kMaxShownWhy = 76;

// The file's text when it is one the game may use: missing (empty text), or
// a plain text file of a settings file's size; otherwise why not, in a few
// words. Never waits on a FIFO.
struct Current {
  std::optional<std::string> text;
  std::string why;
};

// The file's folder, or the one above it, that is a file and no folder.
std::string not_a_folder(const std::string& path) {
  std::filesystem::path p = std::filesystem::path(path).parent_path();
  while (!p.empty() && p != p.root_path()) {
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return p.filename().string() + " is not a folder";
    p = p.parent_path();
  }
  return "its folder is not a folder";
}

Current current_text(const std::string& path) {
  const FileRead file = read_regular_file(path, kMaxSettingsBytes);
  if (file.error == ENOENT) return {std::string(), {}};
  if (file.error == ENOTDIR) return {std::nullopt, not_a_folder(path)};
  if (file.error == EISDIR || file.error == ENODEV) return {std::nullopt, "it is not a plain file"};
  if (!file.ok()) return {std::nullopt, std::string("it is not readable (") + std::strerror(file.error) + ")"};
  if (file.truncated) return {std::nullopt, "it is too large (over 64 KiB)"};
  // A UTF-16 file has a NUL in every ASCII character; lines the game added
  // in UTF-8 would break it, so it is left to the editor that wrote it.
  const std::string_view b = file.bytes;
  if (b.find('\0') != std::string_view::npos)
    return {std::nullopt, b.starts_with("\xFF\xFE") || b.starts_with("\xFE\xFF")
                              ? "it is not text the game writes (UTF-16)"
                              : "it is not text (it holds NUL bytes)"};
  return {file.bytes, {}};
}

// Why a change is not remembered is said once a run, not at every key; a new
// reason is said again.
void say_not_remembered(const std::string& path, const std::string& why) {
  static std::set<std::string> said;
  if (!said.insert(why).second) return;
  std::fprintf(stderr, "quillot: settings are not remembered: %s: %s\n",
               one_line(path, kMaxShownPath).c_str(), one_line(why, kMaxShownWhy).c_str());
}

// How long the well-formed UTF-8 sequence at the start of `s` is; 0 when it
// is none, or a control character of the C1 set, which terminals obey.
size_t utf8_length(std::string_view s) {
  const auto c = static_cast<unsigned char>(s[0]);
  const size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || n > s.size()) return 0;
  uint32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
  for (size_t i = 1; i < n; ++i) {
    const auto d = static_cast<unsigned char>(s[i]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (d & 0x3F);
  }
  constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return 0;
  return n;
}

}  // namespace

std::string settings_file_path() {
  const auto home = config_home();
  return home ? *home + "/quillot/quillot.conf" : std::string();
}

IniFile read_settings_file() {
  const std::string path = settings_file_path();
  if (path.empty()) return IniFile::parse("");
  return IniFile::parse(current_text(path).text.value_or(""));
}

std::string one_line(std::string_view text, size_t max_bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (const size_t n = utf8_length(text.substr(i)); n != 0) {
      out.append(text.substr(i, n));
      i += n;
      continue;
    }
    const auto c = static_cast<unsigned char>(text[i++]);
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  if (out.size() <= max_bytes) return out;
  // The start and the end, each cut where a character begins.
  const std::string_view cut = "â¦";
  const size_t keep = max_bytes > cut.size() ? (max_bytes - cut.size()) / 2 : 0;
  size_t head = keep, tail = out.size() - keep;
  while (head > 0 && (static_cast<unsigned char>(out[head]) & 0xC0) == 0x80) --head;
  while (tail < out.size() && (static_cast<unsigned char>(out[tail]) & 0xC0) == 0x80) ++tail;
  return out.substr(0, head) + std::string(cut) + out.substr(tail);
}

bool change_settings_file(const std::function<void(IniFile&)>& change) {
  const std::string path = settings_file_path();
  if (path.empty()) {
    say_not_remembered("quillot.conf", "there is no home folder to keep it in");
    return false;
  }
  // A link, folder or FIFO in its place is the player's: left as it is.
  struct stat st {};
  std::string why;
  if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    why = S_ISLNK(st.st_mode) ? "it is a link, which the game does not write through" : "it is not a plain file";
  const Current now = why.empty() ? current_text(path) : Current{};
  if (why.empty()) why = now.why;
  if (why.empty()) {
    IniFile ini = IniFile::parse(*now.text);
    change(ini);
    const std::string text = ini.text();
    if (text == *now.text) return true;
    // The reader would ignore the whole file from then on.
    if (text.size() > kMaxSettingsBytes) {
      why = "the change would make it larger than 64 KiB, more than the game reads";
    } else {
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
      if (ec && ec.value() == ENOTDIR) {
        why = not_a_folder(path);
      } else if (ec) {
        why = "its folder cannot be made (" + ec.message() + ")";
      } else if (const int err = replace_file(path, text, ReplaceRules{.replace_link = false}); err != 0) {
        why = err == ELOOP ? "it is a link, which the game does not write through"
                           : std::string("it cannot be written (") + std::strerror(err) + ")";
      }
    }
  }
  if (!why.empty()) say_not_remembered(path, why);
  return why.empty();
}

}  // namespace quillot
