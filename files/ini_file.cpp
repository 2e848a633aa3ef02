#include "files/ini_file.h"

#include <algorithm>

namespace quillot {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string value_of(const std::string& line) {
  return std::string(trimmed(std::string_view(line).substr(line.find('=') + 1)));
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
  IniFile ini;
  if (text.starts_with(kBom)) {
    ini.bom_ = true;
    text.remove_prefix(kBom.size());
  }
  bool end_known = false;
  std::string group;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view raw = text.substr(0, nl);
    std::string end;
    if (nl != std::string_view::npos) {
      end = "\n";
      if (raw.ends_with('\r')) raw.remove_suffix(1), end = "\r\n";
      if (!end_known) ini.end_ = end, end_known = true;
    }
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    const std::string_view line = trimmed(raw);
    std::string key;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      group = std::string(trimmed(line.substr(1, line.size() - 2)));
    } else if (const size_t eq = line.find('=');
               eq != std::string_view::npos && line.front() != ';' && line.front() != '#') {
      key = std::string(trimmed(line.substr(0, eq)));
    }
    ini.lines_.push_back({group, std::move(key), std::string(raw), std::move(end)});
  }
  return ini;
}

const IniFile::Line* IniFile::find(std::string_view group, std::string_view key) const {
  for (const Line& l : lines_)
    if (!l.key.empty() && l.group == group && l.key == key) return &l;
  return nullptr;
}

std::optional<std::string> IniFile::get(std::string_view group, std::string_view key) const {
  const Line* l = find(group, key);
  return l == nullptr ? std::nullopt : std::optional(value_of(l->text));
}

std::vector<std::pair<std::string, std::string>> IniFile::values(std::string_view group) const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const Line& l : lines_)
    if (!l.key.empty() && l.group == group) out.emplace_back(l.key, value_of(l.text));
  return out;
}

void IniFile::clear(std::string_view group) {
  std::erase_if(lines_, [group](const Line& l) { return l.group == group; });
}

void IniFile::remove(std::string_view group, std::string_view key) {
  std::erase_if(lines_, [&](const Line& l) { return l.group == group && l.key == key; });
  bool empty = true;
  for (const Line& l : lines_)
    if (l.group == group && l.key.empty() && !trimmed(l.text).empty() && !trimmed(l.text).starts_with('['))
      empty = false;
    else if (l.group == group && !l.key.empty())
      empty = false;
  if (!empty) return;
  const bool last = !lines_.empty() && lines_.back().group == group;
  clear(group);
  // The blank line that parted it from the group above goes with it at the end.
  if (last && !lines_.empty() && trimmed(lines_.back().text).empty()) lines_.pop_back();
}

void IniFile::set(std::string_view group, std::string_view key, std::string_view value) {
  std::string clean;
  for (char c : value)
    if (c != '\n' && c != '\r') clean += c;
  std::string text = std::string(key) + "=" + clean;
  size_t end_of_group = lines_.size();
  size_t found = lines_.size();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].group != group) continue;
    if (lines_[i].key == key && found == lines_.size()) found = i;
    // After the group's last line that is not blank, so the blank line that
    // parts it from the next group stays between them.
    if (!trimmed(lines_[i].text).empty()) end_of_group = i + 1;
  }
  if (found < lines_.size()) {
    if (value_of(lines_[found].text) != trimmed(clean)) lines_[found].text = std::move(text);
    for (size_t i = lines_.size(); i-- > found + 1;)
      if (lines_[i].group == group && lines_[i].key == key) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
    return;
  }
  // The last line may have had no line end: it needs one before another follows.
  if (end_of_group == lines_.size() && !lines_.empty() && lines_.back().end.empty()) lines_.back().end = end_;
  if (end_of_group == lines_.size() && (lines_.empty() || lines_.back().group != group)) {
    if (!lines_.empty() && !trimmed(lines_.back().text).empty()) lines_.push_back({lines_.back().group, {}, {}, end_});
    lines_.push_back({std::string(group), {}, "[" + std::string(group) + "]", end_});
    end_of_group = lines_.size();
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end_of_group),
                {std::string(group), std::string(key), std::move(text), end_});
}

std::string IniFile::text() const {
  std::string out = bom_ ? std::string(kBom) : std::string();
  for (const Line& l : lines_) out += l.text + l.end;
  return out;
}

}  // namespace quillot
