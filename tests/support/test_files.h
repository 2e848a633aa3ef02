#pragma once
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quillot {

// An empty folder in /tmp for the running test, named after the process and
// the test so that parallel runs never share one. The caller removes it.
inline std::filesystem::path scratch_folder(const std::string& kind) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("quillot-" + kind + "-" + std::to_string(::getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// A whole file's bytes; empty when it cannot be read.
inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// While it lives, no file of this process grows past `bytes`: writes fail as
// they would on a full disk (with EFBIG rather than the signal).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &was_);
    rlimit now = was_;
    now.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &now);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &was_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit was_{};
};

}  // namespace quillot
