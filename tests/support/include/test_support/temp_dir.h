// A folder of a test's own under the system's temporary folder, removed with everything in it
// when the object goes. A folder that cannot be made throws (the test fails there, instead of
// working in a folder that is not there).
#pragma once

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace test_support {

class TempDir {
 public:
  // The folder's name starts with `prefix`.
  explicit TempDir(const std::string& prefix = "trakmon-test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
      throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace test_support
