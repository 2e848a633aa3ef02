#include "audio/sound_font_files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>

namespace quillot {
namespace {

namespace fs = std::filesystem;

// Debian's folders, the freedesktop one other distributions use, and the
// player's own, under each of the data folders.
std::vector<fs::path> folders() {
  std::vector<fs::path> out;
  auto under = [&out](const fs::path& data) {
    for (const char* sub : {"sounds/sf2", "sounds/sf3", "soundfonts"}) out.push_back(data / sub);
  };
  const char* home_data = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (home_data != nullptr && *home_data == '/') {
    under(home_data);
  } else if (home != nullptr && *home == '/') {
    under(fs::path(home) / ".local/share");
  }
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string_view list = dirs != nullptr && *dirs != '\0' ? dirs : "/usr/local/share:/usr/share";
  while (!list.empty()) {
    const size_t colon = list.find(':');
    const std::string_view one = list.substr(0, colon);
    if (!one.empty() && one.front() == '/') under(fs::path(one));
    list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
  }
  return out;
}

}  // namespace

bool sound_font_name(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".sf2" || ext == ".sf3";
}

std::vector<std::string> installed_sound_fonts() {
  std::vector<std::string> found;
  std::set<fs::path> seen;  // the files themselves, so that links to one are one
  constexpr int kMostPerFolder = 200;  // a folder of thousands is no list to choose from
  for (const fs::path& folder : folders()) {
    std::error_code error;
    std::vector<fs::path> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (static_cast<int>(names.size()) == kMostPerFolder) break;
      if (sound_font_name(it->path().string())) names.push_back(it->path());
    }
    // Real files before the links that name them: a link's name (default-GM)
    // says less than the font's own.
    std::sort(names.begin(), names.end(), [](const fs::path& a, const fs::path& b) {
      const bool la = fs::is_symlink(a), lb = fs::is_symlink(b);
      return la != lb ? lb : a < b;
    });
    for (const fs::path& name : names) {
      const fs::path real = fs::canonical(name, error);
      if (error || !fs::is_regular_file(real, error) || !seen.insert(real).second) continue;
      found.push_back(name.string());
    }
  }
  return found;
}

}  // namespace quillot
