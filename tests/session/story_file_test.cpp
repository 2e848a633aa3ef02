#include "session/story_file.h"

#include <gtest/gtest.h>

namespace quillot {
namespace {

std::array<StoryRec, kSlots> parse(std::string_view bytes) {
  std::array<StoryRec, kSlots> s;
  parse_stories(bytes, s);
  return s;
}

TEST(StoryParsing, FiveLinesARecordWithOrWithoutLineFeeds) {
  const auto s = parse("text0\r\npic0\r\nname0\r\nabout0\r\nsel\r\ntext1\rpic1\r\r\r\r\n");
  EXPECT_EQ(s[0].text, "text0");
  EXPECT_EQ(s[0].picture, "pic0");
  EXPECT_EQ(s[0].name, "name0");
  EXPECT_EQ(s[0].about, "about0");
  EXPECT_EQ(s[0].choice, "sel");
  EXPECT_EQ(s[1].text, "text1");
  EXPECT_EQ(s[1].picture, "pic1");
  EXPECT_EQ(s[1].name, "");
  EXPECT_EQ(s[2].text, "");
}

TEST(StoryParsing, NoTrimmingAndBareLineFeedsStayInTheLine) {
  const auto s = parse(" a b \r\nx\ny\r\n");
  EXPECT_EQ(s[0].text, " a b ");
  EXPECT_EQ(s[0].picture, "x\ny");
}

TEST(StoryParsing, AHugeLineKeepsItsStartAndTheNextLinesStayInPlace) {
  const auto s = parse(std::string(3 * kStoryLineLimit, 'x') + "\r\npic\r\n");
  EXPECT_EQ(s[0].text, std::string(kStoryLineLimit, 'x'));
  EXPECT_EQ(s[0].picture, "pic");
}

TEST(StoryParsing, EndOfFileByteEndsEverything) {
  const auto s = parse("one\r\ntwo\x1Athree\r\nfour\r\n");
  EXPECT_EQ(s[0].text, "one");
  EXPECT_EQ(s[0].picture, "two");
  EXPECT_EQ(s[0].name, "");
  EXPECT_EQ(s[0].about, "");
}

TEST(StoryParsing, LinesPastTheLastRecordAreIgnored) {
  std::string bytes;
  for (int i = 0; i < 1275; ++i) bytes += "L" + std::to_string(i) + "\r\n";
  bytes += "extra\r\n";
  const auto s = parse(bytes);
  EXPECT_EQ(s[254].text, "L1270");
  EXPECT_EQ(s[254].choice, "L1274");
}

TEST(StoryText, DecodesTheJapaneseCodePageAndSurvivesBadBytes) {
  EXPECT_EQ(cp932_to_utf8("\x82\xCD\x82\xA2"), "はい");
  EXPECT_EQ(cp932_to_utf8("\xB1"), "ｱ");
  const std::string bad = cp932_to_utf8(
      "a\x82\xFF"
      "b\x81");
  EXPECT_EQ(bad.front(), 'a');
  EXPECT_NE(bad.find("\xEF\xBF\xBD"), std::string::npos);
  EXPECT_NE(bad.find('b'), std::string::npos);
}

TEST(StoryText, PictureNamesStayInsideTheirFolder) {
  EXPECT_TRUE(is_plain_file_name("forest.bmp"));
  EXPECT_TRUE(is_plain_file_name("森.bmp"));
  for (const char* bad : {"", ".", "..", "../my.dat", "a/b.bmp", "/etc/passwd", "a\\b.bmp", "x..y"})
    EXPECT_FALSE(is_plain_file_name(bad)) << bad;
}

TEST(StoryText, StoryForStageOnlyInsideTheTable) {
  std::array<StoryRec, kSlots> s;
  s[3].text = "t";
  s[254].text = "last";
  EXPECT_EQ(story_for_stage(s, 3), &s[3]);
  EXPECT_EQ(story_for_stage(s, 2), nullptr);
  EXPECT_EQ(story_for_stage(s, 254), &s[254]);
  for (int32_t stage : {-1, 255, 2147483647, -2147483647 - 1}) EXPECT_EQ(story_for_stage(s, stage), nullptr);
}

}  // namespace
}  // namespace quillot
