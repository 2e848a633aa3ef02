#include "app/game_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QLockFile>
#include <filesystem>
#include <fstream>

#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

// A scratch prefix in /tmp holding a build-like folder, an install and a home.
class GamePathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = scratch_folder("paths");
    fs::create_directories(root_ / "home");
  }
  void TearDown() override { fs::remove_all(root_); }

  // dat/ and cg/ in `dir`, with the shipped default save.
  void put_data(const fs::path& dir) {
    fs::create_directories(dir / "dat");
    fs::create_directories(dir / "cg");
    write(dir / "dat/my.dat", kShipped);
  }
  static void write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }
  std::string player() const { return (root_ / "home/quillot").string(); }

  static constexpr const char* kShipped =
      "0\r\n0\r\n0\r\n3\r\n18\r\n10\r\n2\r\n3\r\n0\r\n0\r\n3\r\n3\r\n0\r\n";
  fs::path root_;
};

bool really_writable(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

TEST_F(GamePathsTest, DataAndSaveFollowWhereTheProgramFindsItsData) {
  struct Case {
    const char* name;
    const char* data_beside;  // folder given dat/ and cg/, relative to root_ ("" for none)
    bool dat_writable;
    const char* want_data;  // relative to root_
    bool want_portable;
  };
  const Case cases[] = {
      {"a build folder", "usr/games", true, "usr/games", true},
      {"an unpacked copy on a read-only disk", "usr/games", false, "usr/games", false},
      {"an install, even a writable staging one", "usr/share/games/quillot", true, "usr/share/games/quillot",
       false},
      {"no data anywhere", "", true, "usr/games", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(root_ / "usr");
    fs::create_directories(root_ / "usr/games");
    if (*c.data_beside) put_data(root_ / c.data_beside);
    const auto writable = [&](const std::string& dir) { return c.dat_writable && really_writable(dir); };
    const GamePaths p = decide_game_paths((root_ / "usr/games").string(), player(), writable);
    EXPECT_EQ(fs::path(p.data_dir), root_ / c.want_data);
    EXPECT_EQ(p.portable, c.want_portable);
    EXPECT_EQ(fs::path(p.save_file),
              c.want_portable ? root_ / c.want_data / "dat/my.dat" : root_ / "home/quillot/my.dat");
  }
}

TEST_F(GamePathsTest, FirstStartCopiesTheDefaultSaveButNeverReplacesOne) {
  put_data(root_ / "usr/share/games/quillot");
  fs::create_directories(root_ / "usr/games");
  const GamePaths p = decide_game_paths((root_ / "usr/games").string(), player(), really_writable);
  ASSERT_FALSE(p.portable);

  // A fresh home: the folder is made and the shipped save copied, writable by the player.
  fs::permissions(root_ / "usr/share/games/quillot/dat/my.dat",
                  fs::perms::owner_read | fs::perms::group_read);
  ASSERT_TRUE(provide_first_save(p));
  EXPECT_EQ(read_file(p.save_file), kShipped);
  EXPECT_TRUE((fs::status(p.save_file).permissions() & fs::perms::owner_write) != fs::perms::none);

  // A save of the player's own, and things that are not saves, stay as they are.
  write(p.save_file, "1\r\n5230\r\n12\r\n");
  ASSERT_TRUE(provide_first_save(p));
  EXPECT_EQ(read_file(p.save_file), "1\r\n5230\r\n12\r\n");
  fs::remove(p.save_file);
  fs::create_symlink(root_ / "nowhere", p.save_file);
  provide_first_save(p);
  EXPECT_TRUE(fs::is_symlink(p.save_file));
  EXPECT_FALSE(fs::exists(root_ / "nowhere"));
}

TEST_F(GamePathsTest, OneRunningGamePerSaveAndAStaleLockIsTakenOver) {
  const std::string save = player() + "/my.dat";
  {
    SaveLock first = lock_save(save);
    ASSERT_NE(first.file, nullptr) << "the first game holds the lock";
    const SaveLock second = lock_save(save);
    EXPECT_TRUE(second.busy);
    EXPECT_EQ(second.file, nullptr);
  }
  EXPECT_NE(lock_save(save).file, nullptr) << "a game that quit leaves the save free";

  // A game that crashed left its lock with a process id no longer running.
  write(save + ".lock", "2147483600\nquillot\n\n");
  const SaveLock after_crash = lock_save(save);
  EXPECT_FALSE(after_crash.busy);
  EXPECT_NE(after_crash.file, nullptr);

  // A folder where no lock can be made is not "already running".
  const SaveLock nowhere = lock_save("/proc/quillot/my.dat");
  EXPECT_FALSE(nowhere.busy);
  EXPECT_EQ(nowhere.file, nullptr);
}

}  // namespace
}  // namespace quillot
