// A fresh folder for one test, removed with everything in it afterwards, and its files.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/files.h"
#include "test_support/temp_dir.h"
#include "vcl/system.h"

// A test's own temporary folder (test_support::TempDir), with the file helpers of these tests.
class TempFiles {
 public:
  const std::string& path() const { return path_; }
  // An absolute name inside the folder, as the class library takes it.
  AnsiString File(const std::string& name) const { return AnsiString(path_ + "/" + name); }

  std::string Read(const std::string& name) const {
    return test_support::FileBytes(path_ + "/" + name);
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
  }

 private:
  test_support::TempDir dir_{"vcl_core"};
  std::string path_ = dir_.str();
};
