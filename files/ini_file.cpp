#include "files/ini_file.h"

namespace quillot {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
  IniFile ini;
  std::string group;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    const std::string_view raw = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    const std::string_view line = trimmed(raw);
    std::string key;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      group = std::string(trimmed(line.substr(1, line.size() - 2)));
    } else if (const size_t eq = line.find('=');
               eq != std::string_view::npos && line.front() != ';' && line.front() != '#') {
      key = std::string(trimmed(line.substr(0, eq)));
    }
    ini.lines_.push_back({group, std::move(key), std::string(trimmed(raw))});
  }
  return ini;
}

std::optional<std::string> IniFile::get(std::string_view group, std::string_view key) const {
  for (const Line& l : lines_)
    if (!l.key.empty() && l.group == group && l.key == key)
      return std::string(trimmed(std::string_view(l.text).substr(l.text.find('=') + 1)));
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniFile::values(std::string_view group) const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const Line& l : lines_)
    if (!l.key.empty() && l.group == group)
      out.emplace_back(l.key, std::string(trimmed(std::string_view(l.text).substr(l.text.find('=') + 1))));
  return out;
}

void IniFile::clear(std::string_view group) {
  std::erase_if(lines_, [group](const Line& l) { return l.group == group; });
}

void IniFile::set(std::string_view group, std::string_view key, std::string_view value) {
  std::string text = std::string(key) + "=";
  for (char c : value)
    if (c != '\n' && c != '\r') text += c;
  size_t end_of_group = lines_.size();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].group != group) continue;
    if (lines_[i].key == key) {
      lines_[i].text = std::move(text);
      return;
    }
    // After the group's last line that is not blank, so the blank line that
    // parts it from the next group stays between them.
    if (!lines_[i].text.empty()) end_of_group = i + 1;
  }
  if (end_of_group == lines_.size() && (lines_.empty() || lines_.back().group != group)) {
    if (!lines_.empty() && !lines_.back().text.empty()) lines_.push_back({lines_.back().group, {}, {}});
    lines_.push_back({std::string(group), {}, "[" + std::string(group) + "]"});
    end_of_group = lines_.size();
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end_of_group),
                {std::string(group), std::string(key), std::move(text)});
}

std::string IniFile::text() const {
  std::string out;
  for (const Line& l : lines_) out += l.text + "\n";
  return out;
}

}  // namespace quillot
