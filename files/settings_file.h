#pragma once
#include <functional>
#include <string>

#include "files/ini_file.h"

namespace quillot {

// The settings file, $XDG_CONFIG_HOME/quillot/quillot.conf, which the
// window's settings and the key and pad bindings share. It is the player's
// to edit and to break: read as every file of theirs (never waiting on a
// FIFO, never past a settings file's size) and written as the save is.

// Where it is (it follows XDG_CONFIG_HOME at every call); empty when the
// player has no home folder.
std::string settings_file_path();
// The file as it stands: empty when missing or unusable.
IniFile read_settings_file();
// Applies `change` to the file as it stands and writes it (a fresh file
// renamed into place), keeping every group and key the game does not know.
// False when it cannot be written or a link, folder, FIFO or oversized file
// stands in its place: that is left alone, and said once a run on stderr.
bool change_settings_file(const std::function<void(IniFile&)>& change);

}  // namespace quillot
