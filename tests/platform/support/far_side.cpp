// The far side of a pseudo-terminal: its raw mode and the line settings it sees (kept apart:
// the kernel's termios2 and the C library's termios cannot share a file).
#include <asm/ioctls.h>
#include <asm/termbits.h>

#include "platform_test_support.h"

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace platform_test {

FarSettings FarSideSettings(int master) {
  termios2 t{};
  if (ioctl(master, TCGETS2, &t) != 0) return {};
  FarSettings s;
  s.rate = t.c_ospeed;
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
  s.parity = !(t.c_cflag & PARENB) ? 0 : (t.c_cflag & PARODD) ? 1 : 2;
  s.two_stop_bits = t.c_cflag & CSTOPB;
  return s;
}

void MakeRaw(int fd) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return;
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~(CSIZE | PARENB);
  t.c_cflag |= CS8;
  ioctl(fd, TCSETS2, &t);
}

}  // namespace platform_test
