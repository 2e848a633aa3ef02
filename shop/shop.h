#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/state.h"
#include "game/text.h"

// The shop's ten items: prices, availability, captions, hints and what a click does.
//
// Every text is UTF-8 and marked for translation; the window translates it when it shows it.
// Where the game breaks a line in a text, the string holds '\n', so the window can show it as it is.
namespace quillot::shop {

// Named after the buttons; a9 (SAVE) sits lowest on the screen, below a10.
enum class Item { a1, a2, a3, a4, a5, a6, a7, a8, a9, a10 };

// Top to bottom as on the screen.
inline constexpr std::array<Item, 10> kScreenOrder = {Item::a1, Item::a2, Item::a3, Item::a4,  Item::a5,
                                                      Item::a6, Item::a7, Item::a8, Item::a10, Item::a9};
// The buttons whose enabled state the 100 ms refresh sets from enabled(). SAVE is not among them:
// its button is enabled when the shop opens and disabled by a successful save.
inline constexpr std::array<Item, 9> kRefreshedItems = {Item::a1, Item::a2, Item::a3, Item::a4, Item::a5,
                                                        Item::a6, Item::a7, Item::a8, Item::a10};

// Prices are 64-bit: a hand-edited save file can make the level-based ones exceed what 32 bits
// hold, and such a price must stay out of reach rather than wrap round to a bargain. Every price
// is positive for every profile.
int64_t hp_price(const Profile& p);
int64_t shot_lv_price(const Profile& p);
int64_t shot_big_price(const Profile& p);
int64_t price(Item item, const Profile& p);

// The item's limit (speed up to 21, hp up to 11, ...). Always true for a9, which is offered once
// per visit: the window keeps that flag, not the profile.
bool offered(Item item, const Profile& p);
// offered() and the gold reaches the price: the enabled state the refresh gives the button.
bool enabled(Item item, const Profile& p);

// The button's caption, with the price as its value; a2, a3 and a4 follow the levels.
Text caption(Item item, const Profile& p);
// The button's pop-up hint.
const char* hint(Item item);

// Writes the profile to the save file; false when it could not be written (the callback reports
// its own error to the player).
using SaveFn = std::function<bool(const Profile&)>;

struct Purchase {
  bool bought = false;         // the price was taken and the effect applied
  bool saved = false;          // a9 only: the save succeeded, so disable a9 for the rest of this visit
  std::vector<Text> messages;  // message boxes to show, in order
};

// A click on an enabled button. Not enough gold: one "お金たりんち!" message and nothing changes.
// Otherwise the price is taken, the effect applied and the messages returned. The item's limit is
// not checked here, only by enabled(), just as a disabled button cannot be clicked.
//
// For a9, `save` is called after the 100 yen are taken, so the file holds the reduced gold; the
// confirmation comes only if it returns true. A failed (or missing) save keeps the 100 yen spent
// and a9 buyable. The other items never call it.
Purchase buy(Item item, Profile& p, const SaveFn& save);

}  // namespace quillot::shop
