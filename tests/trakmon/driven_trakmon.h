// The real Trakmon for the session tests: a copy in a folder of the test's own (its Trakmon.INI
// lands beside it) with a prefix of its own there, run under an X server of its own with the
// window driver playing a script of steps (tests/x_server). The program and the driver are
// built only with the Qt widget set (TRAKMON_BINARY, WINDOW_DRIVER); without them the tests skip.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "child_processes.h"
#include "driven_program.h"

class DrivenTrakmon {
 public:
#if defined(TRAKMON_BINARY) && defined(WINDOW_DRIVER)
  static constexpr bool kBuilt = true;
#else
  static constexpr bool kBuilt = false;
#endif
  static constexpr const char* kNotBuilt = "Trakmon is built only with the Qt widget set";
  // The last steps of a session on COM1: close the port, then leave by the exit button.
  static constexpr const char* kCloseAndExit =
      "click SBCloseComPort\n"
      "wait ML_Form   Close COMM PORT_1\n"
      "click SBAllExit\n";

  explicit DrivenTrakmon(const std::string& name) : folder_(name) {
#if defined(TRAKMON_BINARY)
    std::filesystem::copy_file(TRAKMON_BINARY, program_);
#endif
    std::filesystem::create_directories(prefix_);
  }

  const std::filesystem::path& folder() const {
    return folder_.path();
  }
  const std::filesystem::path& prefix() const {
    return prefix_;
  }

  // Runs the program with the driver playing `steps`; a run that does not end is cut after
  // `limit_s` seconds. A `wrapper` runs the X server and the program (x_server::RunDriven).
  x_server::DrivenRun Drive(const std::string& steps, int limit_s = 120,
                            const std::string& wrapper = "") const {
    const std::filesystem::path script = folder() / "script.txt";
    std::ofstream(script) << steps;
#if defined(TRAKMON_BINARY) && defined(WINDOW_DRIVER)
    return x_server::RunDriven(RUN_WITH_X, WINDOW_DRIVER, folder(), prefix_, program_, script,
                               limit_s, wrapper);
#else
    return {.skipped = true, .output = kNotBuilt};
#endif
  }

 private:
  TempFolder folder_;
  const std::filesystem::path program_ = folder_.path() / "Trakmon";
  const std::filesystem::path prefix_ = folder_.path() / "prefix";
};
