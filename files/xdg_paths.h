#pragma once
#include <optional>
#include <string>

namespace quillot {

// The player's base folders by the XDG rules: the variable when it holds an
// absolute path (an empty or relative one is ignored), else the default under
// the home: $HOME when absolute, else the password database's. None when
// there is no home at all, so nothing is ever written at the file system's root.
std::optional<std::string> data_home();    // $XDG_DATA_HOME, ~/.local/share
std::optional<std::string> config_home();  // $XDG_CONFIG_HOME, ~/.config

}  // namespace quillot
