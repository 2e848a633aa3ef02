#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillot {

// A small INI text as the settings file keeps it: "[group]" lines and
// "key=value" lines below them. Whatever it does not know (groups and keys of
// a newer game, comments, stray lines) is kept in its place, so writing the
// values of one game never drops those of another. Every line the game does
// not change comes back byte for byte: its spaces, its line end (CR LF stays
// CR LF, and a new line takes the file's own), and a UTF-8 byte-order mark.
class IniFile {
 public:
  static IniFile parse(std::string_view text);

  // The value of `key` in `group`, trimmed; nullopt when it is not there.
  std::optional<std::string> get(std::string_view group, std::string_view key) const;
  // Changes the value in its line, or adds the line at the end of its group
  // (and the group at the end of the file). Line breaks in `value` are dropped.
  // A line already holding that value is left as written; a second line of
  // the same key goes, so the value read back is the one set.
  void set(std::string_view group, std::string_view key, std::string_view value);
  // Drops every line of `key` in `group`; a group left with nothing but its
  // own line and blank ones goes too.
  void remove(std::string_view group, std::string_view key);
  // Every key of a group with its value, in the file's order.
  std::vector<std::pair<std::string, std::string>> values(std::string_view group) const;
  // Drops a group whole, for a group the game writes anew each time.
  void clear(std::string_view group);

  std::string text() const;

 private:
  struct Line {
    std::string group;  // the group the line is in
    std::string key;    // empty for a group's own line and anything that is no value
    std::string text;   // the line as written, without its line end
    std::string end;    // "\n", "\r\n", or empty for a last line without one
  };
  const Line* find(std::string_view group, std::string_view key) const;
  std::vector<Line> lines_;
  bool bom_ = false;        // the text began with a UTF-8 byte-order mark
  std::string end_ = "\n";  // the line end new lines take: the file's first

};

}  // namespace quillot
