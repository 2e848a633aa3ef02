#pragma once
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
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

// Sets an environment variable (nullptr: unsets it) for as long as it lives,
// and puts back what was there on every way out of the test, a failed
// ASSERT included, so no later test runs with another's folders.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* was = std::getenv(name)) was_ = was, had_ = true;
    set(value);
  }
  ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
  ~ScopedEnv() { set(had_ ? was_.c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  void set(const char* value) const {
    if (value == nullptr) {
      ::unsetenv(name_.c_str());
    } else {
      ::setenv(name_.c_str(), value, 1);
    }
  }

 private:
  std::string name_;
  std::string was_;
  bool had_ = false;
};

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
