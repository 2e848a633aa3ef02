#include "session/shop_actions.h"

namespace quillot {

void shop_click(Game& g, Shell& shell, shop::Item item) {
  const shop::Purchase purchase =
      shop::buy(item, g.profile, [&shell](const Profile& p) { return shell.save_profile(p); });
  for (const Text& text : purchase.messages) shell.message(text);
  if (purchase.saved) shell.disable_save();
}

}  // namespace quillot
