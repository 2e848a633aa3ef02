#pragma once
#include <functional>
#include <optional>
#include <string>

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

// The player's base folders by the XDG rules: the variable when it holds an
// absolute path (an empty or relative one is ignored), else the default under
// the home: $HOME when absolute, else the password database's. None when
// there is no home at all, so nothing is ever written at the file system's root.
std::optional<std::string> data_home();    // $XDG_DATA_HOME, ~/.local/share
std::optional<std::string> config_home();  // $XDG_CONFIG_HOME, ~/.config

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

// The lock of one save, beside it: one running game per save. It is an flock
// on `my.dat.lock`, which the kernel releases however the game ends, so no
// lock is ever stale and the file is never removed (two games could then hold
// locks on two different files).
class SaveLock {
 public:
  enum class State {
    Held,     // this game holds the save
    Busy,     // another running game holds it
    Blocked,  // something that cannot be a lock stands at path()
    None,     // no lock can be made in that folder; the game plays and SAVE reports the folder
  };
  SaveLock() = default;
  SaveLock(SaveLock&& other) noexcept;
  SaveLock& operator=(SaveLock&& other) noexcept;
  ~SaveLock();

  State state() const { return state_; }
  const std::string& path() const { return path_; }

 private:
  friend SaveLock lock_save(const std::string& save_file);
  State state_ = State::None;
  std::string path_;
  int fd_ = -1;
};

// Takes the save's lock without ever waiting: a FIFO, a folder or a link in
// its place is refused at once, never opened through.
SaveLock lock_save(const std::string& save_file);

}  // namespace quillot
