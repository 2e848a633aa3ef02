#include "session/profile_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>

#include "files/atomic_file.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

std::array<int32_t, kProfileFields> parse(std::string_view bytes) {
  Profile p;
  EXPECT_FALSE(parse_profile(bytes, p).has_value()) << bytes;
  return profile_values(p);
}

TEST(ProfileParsing, ReadsTheFirstNumberOfEachLine) {
  EXPECT_EQ(parse("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n"),
            (std::array<int32_t, 13>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  // Blank lines between values are skipped; text after a number is ignored.
  EXPECT_EQ(parse("\r\n\r\n  7 apples\r\n\t-8\r\n"), (std::array<int32_t, 13>{7, -8}));
  // A short file leaves the missing fields at 0, an empty one all of them.
  EXPECT_EQ(parse(""), (std::array<int32_t, 13>{}));
  EXPECT_EQ(parse("5\r\n"), (std::array<int32_t, 13>{5}));
}

TEST(ProfileParsing, OnlyCarriageReturnEndsALine) {
  // Bare line feeds make one long first line: only its first number counts.
  EXPECT_EQ(parse("1\n2\n3\n4\n"), (std::array<int32_t, 13>{1}));
  // A lone CR is a line end too, with or without the LF after it.
  EXPECT_EQ(parse("1\r2\r\n3\r"), (std::array<int32_t, 13>{1, 2, 3}));
}

TEST(ProfileParsing, EndOfFileByteStopsReadingOnlyWhereAValueStarts) {
  EXPECT_EQ(parse("1\r\n2\r\n\x1A"
                  "3\r\n4\r\n"),
            (std::array<int32_t, 13>{1, 2}));
  // The rest of a line is skipped up to its CR, whatever bytes it holds.
  EXPECT_EQ(parse("1 \x1A 9\r\n2\r\n"), (std::array<int32_t, 13>{1, 2}));
}

TEST(ProfileParsing, TakesEveryThirtyTwoBitValueAndRefusesTheRest) {
  EXPECT_EQ(parse("2147483647\r\n-2147483648\r\n+5\r\n-0\r\n"),
            (std::array<int32_t, 13>{2147483647, std::numeric_limits<int32_t>::min(), 5, 0}));
  // Decimal only: "$10" is not sixteen.
  for (const char* bad :
       {"2147483648\r\n", "-2147483649\r\n", "12x\r\n", "abc\r\n", "-\r\n", "$10\r\n", "$FFFFFFFF\r\n",
        "0x10\r\n", "1.5\r\n", "99999999999999999999999999999999999999\r\n"}) {
    Profile p;
    const auto err = parse_profile(bad, p);
    ASSERT_TRUE(err.has_value()) << bad;
    EXPECT_EQ(err->message.str(), kNotANumber);
  }
}

TEST(ProfileParsing, FieldsBeforeABadValueKeepTheirValues) {
  Profile p;
  ASSERT_TRUE(parse_profile("11\r\n22\r\nbad\r\n44\r\n", p).has_value());
  EXPECT_EQ(p.score, 11);
  EXPECT_EQ(p.hi_score, 22);
  EXPECT_EQ(p.stage, 0);
  EXPECT_EQ(p.speed, 0);
}

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = scratch_folder("profile"); }
  void TearDown() override { fs::remove_all(dir_); }
  std::string file() const { return (dir_ / "my.dat").string(); }
  std::string read_all() const { return read_file(file()); }
  fs::path dir_;
};

TEST_F(ProfileFile, RoundTripKeepsEveryValueAndNeverGrows) {
  Profile p{-1, 5230, 12, 21, 5, 16, 21, 33, 2147483647, 20, -2147483647 - 1, 10, 1};
  ASSERT_FALSE(save_profile(file(), p).has_value());
  ASSERT_FALSE(save_profile(file(), p).has_value());
  EXPECT_EQ(
      read_all(),
      "-1\r\n5230\r\n12\r\n21\r\n5\r\n16\r\n21\r\n33\r\n2147483647\r\n20\r\n-2147483648\r\n10\r\n1\r\n");
  Profile back;
  ASSERT_FALSE(load_profile(file(), back).has_value());
  EXPECT_EQ(profile_values(back), profile_values(p));
}

TEST_F(ProfileFile, MissingFileIsReportedAsNotFound) {
  Profile p;
  const auto err = load_profile(file(), p);
  ASSERT_TRUE(err.has_value());
  EXPECT_EQ(err->message.str(), kFileNotFound);
}

TEST_F(ProfileFile, ARefusedOrFailedSaveLeavesTheOldFileAsItWas) {
  const std::string victim = (dir_ / "victim").string();
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* error;      // nullptr: the save succeeds
    rlim_t size_limit = 0;  // a full disk, while saving
  };
  const Case cases[] = {
      // Links planted under names a save might use are never written through.
      {"planted links",
       [&] {
         std::ofstream(victim) << "keep";
         for (const char* suffix : {".new", ".tmp", "~"}) fs::create_symlink(victim, file() + suffix);
       },
       nullptr},
      // A read-only save stays read-only, even for root, whom the system lets write anything.
      {"read-only save", [&] { fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read); },
       kAccessDenied},
      {"full disk", [] {}, "ﾃﾞｨｽｸがいっぱいです", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ASSERT_FALSE(save_profile(file(), Profile{1, 2, 3}).has_value());
    fs::permissions(file(), fs::perms::owner_read | fs::perms::owner_write);
    const std::string before = read_all();
    c.arrange();
    const auto status_before = fs::status(file()).permissions();
    std::optional<FileSizeLimit> limit;
    if (c.size_limit != 0) limit.emplace(c.size_limit);
    const auto err = save_profile(file(), Profile{9, 9, 9});
    limit.reset();
    if (c.error == nullptr) {
      EXPECT_FALSE(err.has_value());
      EXPECT_EQ(read_all().substr(0, 6), "9\r\n9\r\n");
      EXPECT_FALSE(fs::is_symlink(file()));
      EXPECT_EQ(read_file(victim), "keep");
    } else {
      ASSERT_TRUE(err.has_value());
      EXPECT_EQ(err->message.str(), c.error);
      EXPECT_EQ(read_all(), before);
    }
    EXPECT_EQ(fs::status(file()).permissions(), status_before) << "the save keeps its permission bits";
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, c.error == nullptr ? 5 : 1) << "no temporary file is left behind";
  }
}

TEST_F(ProfileFile, OnlyOldTemporariesOfKilledSavesAreRemoved) {
  ASSERT_FALSE(save_profile(file(), Profile{1, 2, 3}).has_value());
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
  const struct {
    const char* name;
    bool symlink, aged, removed;
  } cases[] = {
      {"my.dat.Ab3xYz.tmp", false, true, true},    // what a kill between write and rename leaves
      {"my.dat.Qq0000.tmp", false, false, false},  // a save being written right now
      {"my.dat.lock", false, true, false},         // the lock stays, always
      {"my.dat.backup", false, true, false},       // the player's own
      {"my.dat.Ab3xY.tmp", false, true, false},    // not a name the writer makes
      {"other.Ab3xYz.tmp", false, true, false},    // another file's
      {"my.dat.Lnk123.tmp", true, true, false},    // not a plain file of ours
  };
  for (const auto& c : cases) {
    const fs::path p = dir_ / c.name;
    if (c.symlink) {
      fs::create_symlink(file(), p);
    } else {
      std::ofstream(p) << "x";
      if (c.aged) fs::last_write_time(p, old);
    }
  }
  EXPECT_EQ(remove_stale_temporaries(file()), 1);
  for (const auto& c : cases)
    EXPECT_NE(fs::is_symlink(dir_ / c.name) || fs::exists(dir_ / c.name), c.removed) << c.name;
  EXPECT_EQ(read_all().substr(0, 9), "1\r\n2\r\n3\r\n") << "the save itself is untouched";
}

TEST_F(ProfileFile, SaveIntoAMissingFolderFails) {
  const auto err = save_profile((dir_ / "nowhere" / "my.dat").string(), Profile{});
  ASSERT_TRUE(err.has_value());
  EXPECT_FALSE(err->message.str().empty());
}

TEST_F(ProfileFile, ReplacingKeepsAFileThatIsStillOpenIntact) {
  // The new file is renamed over the old one, so a reader holding the old file
  // sees it whole, never half-written.
  ASSERT_FALSE(save_profile(file(), Profile{1, 2, 3}).has_value());
  std::ifstream held(file(), std::ios::binary);
  ASSERT_FALSE(save_profile(file(), Profile{7, 8, 9}).has_value());
  const std::string old_bytes{std::istreambuf_iterator<char>(held), std::istreambuf_iterator<char>()};
  EXPECT_EQ(old_bytes.substr(0, 9), "1\r\n2\r\n3\r\n");
  EXPECT_EQ(read_all().substr(0, 9), "7\r\n8\r\n9\r\n");
}

}  // namespace
}  // namespace quillot
