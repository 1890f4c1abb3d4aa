#include "termios2_host.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

bool SetExactRate(int fd, unsigned baud) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  t.c_ispeed = t.c_ospeed = baud;
  return ioctl(fd, TCSETS2, &t) == 0;
}
