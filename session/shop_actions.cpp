#include "session/shop_actions.h"

namespace quillot {

void shop_click(Game& g, Shell& shell, shop::Item item) {
  const int32_t gold_before = g.profile.gold;
  const shop::Purchase purchase =
      shop::buy(item, g.profile, [&shell](const Profile& p) { return shell.save_profile(p); });
  // SAVE's 100 count too: they are paid even when the save fails.
  if (g.profile.gold < gold_before) shell.report(Happening::GoldSpent, gold_before - g.profile.gold);
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
  for (const Text& text : purchase.messages) shell.message(text);
  if (purchase.saved) shell.disable_save();
}

}  // namespace quillot
