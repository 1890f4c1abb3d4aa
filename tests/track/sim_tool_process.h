// The tracker simulator tool as a child process serving a pseudo-terminal as COM1 of a prefix:
// started with its options, ready once it has printed the pty's path, stopped with SIGTERM.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

class SimToolProcess {
 public:
  // False from Started() when the tool did not come up.
  SimToolProcess(const std::string& tool, const std::string& prefix,
                 std::vector<std::string> options) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> args = {tool, "--prefix", prefix, "--com", "1"};
    args.insert(args.end(), options.begin(), options.end());
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(tool.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    if (FILE* f = fdopen(out[0], "r")) {
      char line[256];
      started_ = std::fgets(line, sizeof line, f) != nullptr;
      std::fclose(f);
    } else {
      close(out[0]);
    }
  }
  ~SimToolProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  SimToolProcess(const SimToolProcess&) = delete;
  SimToolProcess& operator=(const SimToolProcess&) = delete;

  bool Started() const { return started_; }

 private:
  pid_t pid_ = -1;
  bool started_ = false;
};
