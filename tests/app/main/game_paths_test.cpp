#include "app/main/game_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

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
  const mode_t mask = ::umask(027);
  ASSERT_TRUE(provide_first_save(p));
  ::umask(mask);
  EXPECT_EQ(read_file(p.save_file), kShipped);
  EXPECT_EQ(fs::status(p.save_file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
      << "writable by the player, and as the player's mask allows";

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

TEST_F(GamePathsTest, OneRunningGamePerSaveAndNothingInTheLocksPlaceHangsOrLocksOut) {
  const std::string save = player() + "/my.dat";
  const std::string lock = save + ".lock";
  {
    const SaveLock first = lock_save(save);
    ASSERT_EQ(first.state(), SaveLock::State::Held);
    EXPECT_EQ(lock_save(save).state(), SaveLock::State::Busy);
    EXPECT_EQ(lock_save(save).state(), SaveLock::State::Busy) << "the first game keeps its lock";
  }
  EXPECT_EQ(lock_save(save).state(), SaveLock::State::Held) << "a game that quit leaves the save free";
  EXPECT_TRUE(fs::is_regular_file(lock)) << "the lock file is never removed";

  const fs::path victim = root_ / "victim";
  const struct {
    const char* name;
    std::function<void()> arrange;
    SaveLock::State want;
  } cases[] = {
      // What a power cut right after start leaves, a crash, or anyone's scribbles.
      {"an empty file", [&] { write(lock, ""); }, SaveLock::State::Held},
      {"a dead game's lock", [&] { write(lock, "2147483600\nquillot\n\n"); }, SaveLock::State::Held},
      {"garbage", [&] { write(lock, std::string(5000, '\xff')); }, SaveLock::State::Held},
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0); }, SaveLock::State::Blocked},
      {"a folder", [&] { fs::create_directory(lock); }, SaveLock::State::Blocked},
      {"a dangling link", [&] { fs::create_symlink(victim, lock); }, SaveLock::State::Blocked},
      {"a link to a file",
       [&] {
         write(victim, "keep");
         fs::create_symlink(victim, lock);
       },
       SaveLock::State::Blocked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(lock);
    fs::remove(victim);
    c.arrange();
    const auto started = std::chrono::steady_clock::now();
    const SaveLock l = lock_save(save);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(l.state(), c.want);
    EXPECT_EQ(l.path(), lock) << "the message names the file";
    if (fs::is_symlink(lock)) {
      EXPECT_TRUE(!fs::exists(victim) || read_file(victim) == "keep") << "never opened through a link";
    }
  }
  fs::remove_all(lock);

  // A game killed outright: the kernel drops its lock with it.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t game = ::fork();
  if (game == 0) {
    const SaveLock held = lock_save(save);
    (void)!::write(ready[1], held.state() == SaveLock::State::Held ? "y" : "n", 1);
    ::pause();
    ::_exit(0);
  }
  char said = 0;
  ASSERT_EQ(::read(ready[0], &said, 1), 1);
  EXPECT_EQ(said, 'y');
  EXPECT_EQ(lock_save(save).state(), SaveLock::State::Busy);
  ::kill(game, SIGKILL);
  ::waitpid(game, nullptr, 0);
  EXPECT_EQ(lock_save(save).state(), SaveLock::State::Held) << "the next start plays";
  ::close(ready[0]);
  ::close(ready[1]);

  // A folder where no lock can be made is not "already running".
  EXPECT_EQ(lock_save("/proc/quillot/my.dat").state(), SaveLock::State::None);
}

TEST_F(GamePathsTest, BaseFoldersFollowTheRulesAndNeverTheRoot) {
  struct Case {
    const char* name;
    const char* home;       // nullptr: unset
    const char* xdg;        // XDG_DATA_HOME and XDG_CONFIG_HOME; nullptr: unset
    const char* want_data;  // nullptr: whatever the password database says
    const char* want_config;
  };
  const Case cases[] = {
      {"both set", "/home/kiri", "/srv/xdg", "/srv/xdg", "/srv/xdg"},
      {"only the home", "/home/kiri", nullptr, "/home/kiri/.local/share", "/home/kiri/.config"},
      {"an empty XDG value", "/home/kiri", "", "/home/kiri/.local/share", "/home/kiri/.config"},
      {"a relative XDG value", "/home/kiri", "rel/xdg", "/home/kiri/.local/share", "/home/kiri/.config"},
      {"no home at all: the password database's", nullptr, "./xdg", nullptr, nullptr},
  };
  const ScopedEnv home("HOME", std::getenv("HOME")), data("XDG_DATA_HOME", std::getenv("XDG_DATA_HOME")),
      config("XDG_CONFIG_HOME", std::getenv("XDG_CONFIG_HOME"));
  const passwd* pw = ::getpwuid(::getuid());
  ASSERT_NE(pw, nullptr);
  const std::string db_home = pw->pw_dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    home.set(c.home);
    data.set(c.xdg);
    config.set(c.xdg);
    EXPECT_EQ(data_home(), c.want_data != nullptr ? c.want_data : db_home + "/.local/share");
    EXPECT_EQ(config_home(), c.want_config != nullptr ? c.want_config : db_home + "/.config");
  }

  // Without any home there is no save, never one at the file system's root.
  put_data(root_ / "usr/share/games/quillot");
  fs::create_directories(root_ / "usr/games");
  const GamePaths p = decide_game_paths((root_ / "usr/games").string(), "", really_writable);
  EXPECT_EQ(p.save_file, "");
  EXPECT_EQ(lock_save(p.save_file).state(), SaveLock::State::None);
  EXPECT_TRUE(provide_first_save(p));
}

}  // namespace
}  // namespace quillot
