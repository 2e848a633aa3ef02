#include "files/file_read.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

namespace quillot {
namespace {

namespace fs = std::filesystem;

TEST(FileRead, ReadsAtMostTheLimitAndSaysSo) {
  const fs::path f = fs::temp_directory_path() / ("quillot-read-" + std::to_string(::getpid()));
  std::ofstream(f, std::ios::binary) << "0123456789";
  EXPECT_EQ(read_regular_file(f.string(), 10).bytes, "0123456789");
  EXPECT_FALSE(read_regular_file(f.string(), 10).truncated);
  const FileRead cut = read_regular_file(f.string(), 4);
  EXPECT_EQ(cut.bytes, "0123");
  EXPECT_TRUE(cut.truncated);
  EXPECT_EQ(read_regular_file(fs::temp_directory_path().string(), 4).error, EISDIR);
  EXPECT_EQ(read_regular_file((f / "x").string(), 4).error, ENOTDIR);
  fs::remove(f);
  EXPECT_EQ(read_regular_file(f.string(), 4).error, ENOENT);
}

}  // namespace
}  // namespace quillot
