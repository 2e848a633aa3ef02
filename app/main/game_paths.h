#pragma once
#include <functional>
#include <optional>
#include <string>

#include "files/save_lock.h"
#include "files/xdg_paths.h"

namespace quillot {

// Where this run's files are, decided once at start-up.
struct GamePaths {
  std::string data_dir;   // the folder holding dat/ and cg/
  std::string save_file;  // the player's my.dat
  bool portable = false;  // the save lives in the data folder beside the program
  // Set when there is nowhere to save (no home folder): why, in the words of
  // the error box; `save_file` is then empty and the game plays without saving.
  std::string cannot_save;
};

// A build or an unpacked copy keeps dat/ and cg/ beside the program and, when
// that dat/ is writable, its save there too. Anywhere else the data is the
// install's (found relative to the program, so a staged or moved install runs
// as it is) and the save is the player's own, in `player_dir` (empty when the
// player has no home: then there is no save).
// `writable` tells whether a folder may be written to.
GamePaths decide_game_paths(const std::string& exe_dir, const std::string& player_dir,
                            const std::function<bool(const std::string&)>& writable);

// The decision for this process: its own folder, and quillot/ in the player's
// data folder ($XDG_DATA_HOME, by default ~/.local/share).
GamePaths game_paths();

// On a player's first start, copies the shipped save into place so the game
// opens on a fresh profile. Whatever already stands at the save's path is
// never replaced. False when there was nothing and the copy failed.
bool provide_first_save(const GamePaths& paths);

}  // namespace quillot
