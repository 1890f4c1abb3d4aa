// The settings of a serial line on a tty device (a serial port or a pseudo-terminal), set and
// read through the kernel's termios2, so that every rate is exact, also one without a B
// constant. The tty comm backend, the simulator tool's pseudo-terminal and the tests all go
// through this unit; it is the only code that knows termios2 (which cannot share a file with
// the C library's <termios.h>; this header includes neither).
#pragma once

#include <cstdint>

namespace platform::serial_line {

// Framing, rate and flow control, in the comm API's values (DCB).
struct Settings {
  std::uint32_t baud = 0;
  std::uint8_t byte_size = 8;  // 5 to 8
  std::uint8_t parity = 0;     // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY
  std::uint8_t stop_bits = 0;  // ONESTOPBIT, ONE5STOPBITS (5-bit bytes), TWOSTOPBITS
  bool parity_check = false;   // received bytes with a parity error are marked (INPCK)
  bool rts_cts = false;        // hardware flow control (CRTSCTS)
  bool xon_xoff_out = false;   // output stops on XOFF (IXON)
  bool xon_xoff_in = false;    // XOFF sent when the input fills (IXOFF)
  char xon_char = 0x11;
  char xoff_char = 0x13;
  bool operator==(const Settings&) const = default;
};

// Reads the line's settings; false (errno set) when `fd` is not a tty.
bool Read(int fd, Settings& settings);
// Sets every field of `settings` and keeps the rest of the device's state; false with the
// driver's errno (EINVAL: a value it refuses). Drivers may round the rate or drop what they
// cannot do without an error: Read tells what the line runs with.
bool Write(int fd, const Settings& settings);
// Raw bytes both ways: no input or output processing, no echo, no signals, the receiver on and
// the modem lines not waited for; a read returns once one byte is there (VMIN 1, VTIME 0), so a
// non-blocking read without data fails with EAGAIN rather than looking like an end of file.
// Rate, framing and flow control stay as they are.
bool MakeRaw(int fd);

}  // namespace platform::serial_line
