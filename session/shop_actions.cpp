#include "session/shop_actions.h"

namespace quillot {

void shop_click(Game& g, Shell& shell, shop::Item item) {
  const shop::Purchase purchase =
      shop::buy(item, g.profile, [&shell](const Profile& p) { return shell.save_profile(p); });
  // Before the boxes, which wait for the player: the sound goes with the click.
  // A failed save has its own error box and no sound.
  if (purchase.saved) {
    shell.sound(Sound::Saved);
  } else if (!purchase.bought) {
    shell.sound(Sound::Refused);
  } else if (item == shop::Item::a10) {
    shell.sound(Sound::GuardOn);
  } else if (item != shop::Item::a9) {
    shell.sound(Sound::Purchase);
  }
  for (const std::string& text : purchase.messages) shell.message(text);
  if (purchase.saved) shell.disable_save();
}

}  // namespace quillot
