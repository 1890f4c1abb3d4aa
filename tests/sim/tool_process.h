// The tracker simulator tool (TRACKER_SIM_TOOL) as a child process, for tests that talk to it
// over its pseudo-terminal. Its first output line is the pty's slave path.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace sim_tool_test {

// How long a test waits for the tool's output or its end.
constexpr int kLongMs = 10'000;

// The tool as a child process; its first output line is the pty's slave path.
class Tool {
 public:
  explicit Tool(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), TRACKER_SIM_TOOL);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, TRACKER_SIM_TOOL, &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    out_ = out[0];
  }
  ~Tool() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }

  // The first line of output, or empty when none comes in time.
  std::string ReadLine() {
    std::string line;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongMs);
    while (std::chrono::steady_clock::now() < until) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c;
      if (read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return "";
  }

  // Exit status after the signal, or -1 when the tool does not end in time.
  int Stop(int signal = SIGTERM) {
    kill(pid_, signal);
    return Wait();
  }
  int Wait() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongMs);
    while (std::chrono::steady_clock::now() < until) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

}  // namespace sim_tool_test
