#pragma once
#include <cstdint>
#include <string>

#include "game/state.h"
#include "game/text.h"

// The title and shop screens' texts, rebuilt from the profile by the 100 ms refresh.
//
// Every text is UTF-8, with '\n' where the game breaks a line, and marked for translation:
// the window translates the wording and then fills in the values.
namespace quillot::status {

// The longest row of "@" the status panel shows for hit points or bombs. The shop stops at 11 hit
// points and 10 bombs; a larger count only comes from an edited save file, and 40 marks are
// already plainly "more than the shop sells" while the text stays a few rows of the panel.
inline constexpr int32_t kMaxMarks = 40;

// How far the profile stands above a new game's values. 64-bit: edited values can sum past 32 bits.
int64_t upgrade_count(const Profile& p);
// 0 gives "普通のトリ"; 30 and more, however large, "ｵｸﾀﾋﾞｰ十騎士ｱﾙﾌﾚﾄﾞ".
const char* rank_title(int64_t count);

// The shop's status panel `state_l`.
Text status_panel(const Profile& p);
// The title screen's `stage_l`: the best score.
Text stage_label(const Profile& p);
// The title screen's `save_l`: the stage and gold held in the profile.
Text save_label(const Profile& p);
// The caption of the shop's group box.
Text shop_caption(const Profile& p);

}  // namespace quillot::status
