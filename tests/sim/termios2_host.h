// Sets a rate on a tty the way a host does for rates without a B constant (termios2, BOTHER).
// Kept apart from <termios.h>, whose definitions clash with the kernel's.
#pragma once

bool SetExactRate(int fd, unsigned baud);
