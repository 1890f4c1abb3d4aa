// The simulator tool as a child process, for tests and benchmarks: started with its arguments,
// its first output line (the pty's slave path) read, stopped by a signal. Every wait is bounded.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace sim {

class ToolProcess {
 public:
  ToolProcess(const std::string& program, std::vector<std::string> args);
  ~ToolProcess();  // kills the tool if it still runs
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The first line of output, or empty when none comes within `limit_ms`.
  std::string ReadLine(int limit_ms = 10'000);
  // Sends `signal` and waits for the exit: its status (128 + the signal when a signal ended
  // it), or -1 when it does not end in time.
  int Stop(int signal = SIGTERM, int limit_ms = 10'000);
  // Waits for the tool to end by itself: its status as Stop gives it.
  int Wait(int limit_ms = 10'000);

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

}  // namespace sim
