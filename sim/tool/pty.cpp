#include "pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/serial_line.h"

namespace sim::tool {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

Pty::Pty(std::uint32_t baud) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) Fail("posix_openpt");
  char name[128];
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
      ptsname_r(master_, name, sizeof name) != 0) {
    const int e = errno;
    close(master_);
    errno = e;
    Fail("pty slave");
  }
  slave_path_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave_ < 0) {
    const int e = errno;
    close(master_);
    errno = e;
    Fail(name);
  }
  platform::serial_line::Settings line;
  line.baud = baud;
  if (!platform::serial_line::MakeRaw(slave_) || !platform::serial_line::Write(slave_, line))
    Fail("line settings");
}

Pty::~Pty() {
  Close();
}

platform::sim::LineSettings Pty::Settings() const {
  platform::sim::LineSettings s;
  platform::serial_line::Settings line;
  if (slave_ < 0 || !platform::serial_line::Read(slave_, line)) return s;
  s.baud = line.baud;
  s.byte_size = line.byte_size;
  s.parity = line.parity;
  s.stop_bits = line.stop_bits;
  return s;
}

std::size_t Pty::Unread() const {
  int n = 0;
  if (slave_ < 0 || ioctl(slave_, FIONREAD, &n) != 0 || n < 0) return 0;
  return static_cast<std::size_t>(n);
}

void Pty::AllowReopen() {
  if (slave_ >= 0) ioctl(slave_, TIOCNXCL);
}

void Pty::Close() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  slave_ = master_ = -1;
}

}  // namespace sim::tool
