// For tests that run programs: a temporary folder that goes with the test, shell quoting, file
// contents, and the tracker simulator tool as a child process serving a pseudo-terminal in real
// time.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_support/shell.h"
#include "test_support/temp_dir.h"

extern char** environ;

// The tests' one temporary folder, under the name these tests use.
using TempFolder = test_support::TempDir;

using test_support::Quoted;
using test_support::ReadFile;

class SimToolProcess {
 public:
  // Starts `tool` with `args`; it prints the pty's slave path when ready.
  SimToolProcess(const std::string& tool, std::vector<std::string> args) {
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), tool);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, tool.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    out_ = out[0];
  }
  ~SimToolProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  SimToolProcess(const SimToolProcess&) = delete;
  SimToolProcess& operator=(const SimToolProcess&) = delete;

  // The slave path the tool printed, or empty when it printed none within 10 s.
  std::string WaitReady() {
    std::string line;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char c;
      if (::read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return {};
  }

  // Asks the tool to stop (it finishes what it serves) and waits up to 10 s for it.
  bool Stop() {
    if (pid_ <= 0) return false;
    ::kill(pid_, SIGTERM);
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
      }
      ::usleep(20'000);
    }
    return false;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};
