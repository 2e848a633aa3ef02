#include "session/practice.h"

#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace quillot {
namespace {

// The equipment a recorded game had where each stage began, worked out by
// hand from what its player pressed (in save-file order).
TEST(StageStarts, EachStageARecordedGameBeganWithItsEquipmentThen) {
  using Values = std::array<int32_t, kProfileFields>;
  const struct {
    const char* file;
    int32_t stage;
    Values profile;
  } cases[] = {
      // NEW START: a new bird at the first stage.
      {"clear_stage0.qrp", 0, profile_values(new_game_profile())},
      // CONTINUE gives three bombs; the story's いいえ skips a stage.
      {"story_no.qrp", 8, {0, 1500, 8, 3, 18, 10, 2, 3, 0, 0, 3, 3, 0}},
      // RETRY starts the same stage again, with its one hit point.
      {"lost_game.qrp", 44, {0, 0, 44, 3, 18, 10, 2, 3, 0, 0, 1, 3, 0}},
  };
  const std::string here = __FILE__;
  for (const auto& c : cases) {
    std::string error;
    const auto recording =
        parse_recording(read_file(here.substr(0, here.rfind("/session/")) + "/replays/" + c.file), &error);
    ASSERT_TRUE(recording) << error;
    const auto starts = stage_starts(*recording);
    ASSERT_EQ(starts.size(), 1u) << c.file;
    ASSERT_TRUE(starts.contains(c.stage)) << c.file;
    EXPECT_EQ(profile_values(starts.at(c.stage)), c.profile) << c.file;
  }
}

}  // namespace
}  // namespace quillot
