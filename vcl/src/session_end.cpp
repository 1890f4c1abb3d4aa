#include "vcl/session_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

namespace vcl {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

// What the handler may touch: the pipe's write end and whether a signal came already.
volatile std::sig_atomic_t g_write_fd = -1;
volatile std::sig_atomic_t g_signalled = 0;
struct sigaction g_previous[std::size(kSignals)];

void OnSessionEnd(int signal) {
  if (g_signalled) {
    // A second signal while the first close runs: end as the signal's default does.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal);
    return;
  }
  g_signalled = 1;
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a wake-up; nothing else can be done here.
  (void)!write(g_write_fd, &byte, 1);
  errno = saved;
}

}  // namespace

SessionEndSignals::SessionEndSignals() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_fd_ = fds[0];
  write_fd_ = fds[1];
  g_write_fd = write_fd_;
  g_signalled = 0;
  struct sigaction action {};
  action.sa_handler = OnSessionEnd;
  action.sa_flags = SA_RESTART;
  // Neither handler interrupts the other.
  sigemptyset(&action.sa_mask);
  for (int s : kSignals) sigaddset(&action.sa_mask, s);
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    sigaction(kSignals[i], &action, &g_previous[i]);
}

SessionEndSignals::~SessionEndSignals() {
  if (read_fd_ < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    sigaction(kSignals[i], &g_previous[i], nullptr);
  g_write_fd = -1;
  close(read_fd_);
  close(write_fd_);
}

bool SessionEndSignals::Take() {
  if (read_fd_ < 0) return false;
  bool came = false;
  char buffer[16];
  while (read(read_fd_, buffer, sizeof buffer) > 0) came = true;
  return came;
}

}  // namespace vcl
