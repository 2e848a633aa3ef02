#pragma once
#include <string>

namespace quillot {

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
