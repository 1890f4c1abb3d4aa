// The end of the desktop session. When the session ends, the session manager (or `kill`) sends
// SIGTERM or SIGHUP; the program then closes its main form as its title bar's close does, so
// that the close handlers save what they save, and ends (Application->EndSession). A second
// signal ends the process at once with the signal's default action.
//
//   vcl::SessionEndSignals signals;    // catches SIGTERM and SIGHUP from here on
//   ... the loop watches signals.ReadFd(); once it is readable, on the GUI thread:
//   if (signals.Take()) Application->EndSession();
//
// The signal handler does no work: it writes one byte to a pipe (a second signal puts back the
// default action and raises the signal again). The programs' entry (vcl_qt's main) sets this up;
// the Qt widget set watches the pipe (QtWidgetSet::WatchSessionEnd).
#pragma once

namespace vcl {

class SessionEndSignals {
 public:
  // Catches SIGTERM and SIGHUP; one instance at a time. When no pipe can be made the signals
  // keep their default action.
  SessionEndSignals();
  // Puts back the actions that were there before.
  ~SessionEndSignals();
  SessionEndSignals(const SessionEndSignals&) = delete;
  SessionEndSignals& operator=(const SessionEndSignals&) = delete;

  // The pipe's read end (non-blocking), readable once a signal came; -1 when none is watched.
  int ReadFd() const { return read_fd_; }
  // Empties the pipe; true when a signal had come.
  bool Take();

 private:
  int read_fd_ = -1;
  int write_fd_ = -1;
};

}  // namespace vcl
