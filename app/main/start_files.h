#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/main/game_paths.h"
#include "session/replay.h"

namespace quillot {

// The files a start settles before the window opens: the save's lock, the
// first save, what killed writes left behind, and the recording's file.
struct StartFiles {
  SaveLock lock;
  std::unique_ptr<Recorder> recorder;  // set when the session is recorded
};

// Opens them. When the game must not start (already running on this save,
// something in the lock's place, a recording file refused) it says why and
// returns the exit status.
std::optional<int> open_start_files(const GamePaths& paths, bool replaying, const std::string& record,
                                    StartFiles& files);

}  // namespace quillot
