#include "app/main/command_line.h"

#include <gtest/gtest.h>

namespace quillot {
namespace {

// What a player may type, and what the game makes of it: Qt's own options
// pass through, and a value that is missing or is really the next option is
// refused rather than taken as a file's name.
TEST(CommandLine, TakesWhatItKnowsAndRefusesTheRestInOneLine) {
  using What = ParsedCommandLine::What;
  const struct {
    QStringList args;
    What what;
    const char* error;  // the start of it
  } cases[] = {
      {{}, What::Run, ""},
      {{"--scale", "3", "--mute", "--language", "en"}, What::Run, ""},
      {{"-platform", "xcb", "--fullscreen"}, What::Run, ""},
      {{"--help", "--scale", "9"}, What::Help, ""},
      {{"-v"}, What::Version, ""},
      {{"--scale", "5"}, What::Error, "--scale needs a number from 1 to 4"},
      {{"--record", "--headless"}, What::Error, "--record needs FILE, not '--headless'"},
      {{"--headless"}, What::Error, "--headless goes with --replay FILE"},
      {{"--record", "a.qrp", "--replay", "b.qrp"}, What::Error, "--record and --replay exclude each other"},
      {{"game.qrp"}, What::Error, "unexpected argument 'game.qrp'"},
      {{"--language", "auto"}, What::Error, "--language needs ja or en"},
      {{"--frobnicate"}, What::Error, "Unknown option"},
      {{"--soundfont", "--mute"}, What::Error, "--soundfont needs FILE, not '--mute'"},
  };
  for (const auto& c : cases) {
    QStringList args = c.args;
    args.prepend("quillot");
    const ParsedCommandLine p = parse_command_line(args);
    EXPECT_EQ(p.what, c.what) << args.join(' ').toStdString();
    const QString want = QString::fromUtf8(c.error);
    EXPECT_EQ(p.error.left(want.size()), want) << args.join(' ').toStdString();
  }
  const ParsedCommandLine p =
      parse_command_line({"quillot", "--scale", "3", "--language", "en", "-display", ":1", "--soundfont", "my.sf2"});
  EXPECT_EQ(p.options.sound_font, "my.sf2");
  EXPECT_EQ(p.options.scale, 3);
  EXPECT_EQ(p.options.language, Language::English);
  EXPECT_TRUE(p.options.display_given);
}

}  // namespace
}  // namespace quillot
