// For tests that drive a real program through its window: the program runs under an X server of
// its own (run_with_x.sh) with the window driver (window_driver.cpp) preloaded, playing a
// script of steps, and the test reads what it printed; the pictures it took are kept.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "test_support/files.h"
#include "test_support/shell.h"

namespace x_server {

struct DrivenRun {
  bool skipped = false;  // no X server could be had
  int exit_code = -1;    // -1: the program did not end normally
  std::string output;    // its standard output and error, the driver's steps among them
};

// Runs `program` from `folder` with TRAKMON_PREFIX=`prefix`, the driver playing `script`; the
// whole run is cut after `limit_s` seconds. A `wrapper` (a command line that runs the command
// given after it) runs the X server and the program.
inline DrivenRun RunDriven(const std::string& run_with_x, const std::string& driver,
                           const std::filesystem::path& folder, const std::filesystem::path& prefix,
                           const std::filesystem::path& program,
                           const std::filesystem::path& script, int limit_s = 120,
                           const std::string& wrapper = "") {
  using test_support::Quoted;
  // The driver is loaded first; a sanitized program must then not insist on its runtime coming
  // first in the library list.
  std::string asan_options = "verify_asan_link_order=0";
  if (const char* given = std::getenv("ASAN_OPTIONS")) asan_options = given + (":" + asan_options);
  const std::filesystem::path out = folder / "driven_output.txt";
  const std::string command = "cd " + Quoted(folder) + " && TRAKMON_PREFIX=" + Quoted(prefix) +
                              " timeout " + std::to_string(limit_s) + " " + wrapper + " " +
                              Quoted(run_with_x) + " env ASAN_OPTIONS=" + Quoted(asan_options) +
                              " LD_PRELOAD=" + Quoted(driver) +
                              " TRAKMON_TEST_DRIVE=" + Quoted(script) + " " + Quoted(program) +
                              " > " + Quoted(out) + " 2>&1";
  const int status = std::system(command.c_str());
  DrivenRun run;
  run.output = test_support::FileBytes(out);
  if (WIFEXITED(status)) {
    run.exit_code = WEXITSTATUS(status);
    run.skipped = run.exit_code == 77;
  }
  return run;
}

// Copies the picture `shot` to `folder`/`name` for people to look at, and says where it is.
inline void KeepPicture(const std::filesystem::path& shot, const std::filesystem::path& folder,
                        const std::string& name) {
  const std::filesystem::path kept = folder / name;
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(shot, kept, std::filesystem::copy_options::overwrite_existing);
  std::cout << "screenshot: " << kept.string() << "\n";
}

}  // namespace x_server
