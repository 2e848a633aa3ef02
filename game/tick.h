#pragma once

#include "game/canvas.h"
#include "game/host.h"
#include "game/state.h"

namespace quillot {

enum class TickEnd : uint8_t {
  Presented,  // ran to the end and copied the picture to the playfield
  StageEnded, // the clear or game-over phase ended: timer stopped, nothing presented
  SaveFailed, // the GAME OVER save failed: the rest of the tick was skipped
};

// One 50 ms frame tick on the back buffer `bak`.
TickEnd Timer1Timer(Game& g, Canvas& bak, Host& host);

}  // namespace quillot
