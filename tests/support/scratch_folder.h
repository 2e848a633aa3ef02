#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace quillot {

// An empty folder in /tmp for the running test, named after the process and
// the test so that parallel runs never share one. The caller removes it.
inline std::filesystem::path scratch_folder(const std::string& kind) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("quillot-" + kind + "-" + std::to_string(::getpid()) + "-" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

}  // namespace quillot
