#include "files/xdg_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace quillot {

namespace {

std::optional<std::string> absolute(const char* path) {
  if (path == nullptr || path[0] != '/') return std::nullopt;
  return std::string(path);
}

std::optional<std::string> home() {
  if (auto h = absolute(std::getenv("HOME"))) return h;
  const passwd* pw = ::getpwuid(::getuid());
  return absolute(pw != nullptr ? pw->pw_dir : nullptr);
}

std::optional<std::string> xdg_home(const char* variable, const char* under_home) {
  if (auto v = absolute(std::getenv(variable))) return v;
  if (auto h = home()) return *h + under_home;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> data_home() { return xdg_home("XDG_DATA_HOME", "/.local/share"); }
std::optional<std::string> config_home() { return xdg_home("XDG_CONFIG_HOME", "/.config"); }

}  // namespace quillot
