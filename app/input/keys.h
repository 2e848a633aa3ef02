#pragma once
#include <Qt>
#include <cstdint>
#include <optional>

#include "app/input/bindings.h"
#include "session/action.h"

namespace quillot {

// What a key asks: the window's own keys first (scale, full screen, Esc, the
// help, the options, the effects' volume, quit), then the player's bindings.
// `scan` is the key's scan code, 0 where the platform gives none.
std::optional<Action> key_action(const Bindings& bindings, int key, uint32_t scan,
                                 Qt::KeyboardModifiers modifiers);

}  // namespace quillot
