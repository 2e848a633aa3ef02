#pragma once

#include "game/state.h"
#include "session/flow.h"
#include "shop/shop.h"

namespace quillot {

// A click on a shop item: the purchase, its message boxes, and SAVE's
// once-per-visit rule.
void shop_click(Game& g, Shell& shell, shop::Item item);

}  // namespace quillot
