#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

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
// Applies `change` to the file as it stands now (read again, so what another
// game or the player changed since is kept) and writes it (a fresh file
// renamed into place) when that changed anything, keeping every line the
// game does not touch as it was. False when it cannot be written, or a link,
// folder, FIFO, an oversized file or one that is no text (UTF-16, NUL bytes)
// stands in its place, or the change would make the file larger than the
// game reads: that is left alone, and said once a run in one line on stderr.
bool change_settings_file(const std::function<void(IniFile&)>& change);

// `text` fit for one line of a warning: control bytes and bytes that are no
// UTF-8 written as \xNN, and the middle of a text longer than `max_bytes`
// given as "…", so a hostile name never floods or drives the terminal.
std::string one_line(std::string_view text, size_t max_bytes);

}  // namespace quillot
