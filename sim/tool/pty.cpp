// termios2 (asm/termbits.h) cannot share a translation unit with <termios.h>; this one uses only
// the kernel's definitions.
#include "pty.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

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
  termios2 t{};
  if (ioctl(slave_, TCGETS2, &t) != 0) Fail("TCGETS2");
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
  t.c_ispeed = t.c_ospeed = baud;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (ioctl(slave_, TCSETS2, &t) != 0) Fail("TCSETS2");
}

Pty::~Pty() {
  Close();
}

platform::sim::LineSettings Pty::Settings() const {
  platform::sim::LineSettings s;
  termios2 t{};
  if (slave_ < 0 || ioctl(slave_, TCGETS2, &t) != 0) return s;
  s.baud = t.c_ospeed;
  switch (t.c_cflag & CSIZE) {
    case CS5:
      s.byte_size = 5;
      break;
    case CS6:
      s.byte_size = 6;
      break;
    case CS7:
      s.byte_size = 7;
      break;
    default:
      s.byte_size = 8;
      break;
  }
  // Parity and stop bits in the values of the comm API (NOPARITY, ODDPARITY, EVENPARITY,
  // MARKPARITY, SPACEPARITY; ONESTOPBIT, TWOSTOPBITS).
  if ((t.c_cflag & PARENB) == 0) {
    s.parity = 0;
  } else if ((t.c_cflag & CMSPAR) != 0) {
    s.parity = (t.c_cflag & PARODD) != 0 ? 3 : 4;
  } else {
    s.parity = (t.c_cflag & PARODD) != 0 ? 1 : 2;
  }
  s.stop_bits = (t.c_cflag & CSTOPB) != 0 ? 2 : 0;
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
