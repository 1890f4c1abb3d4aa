// The far side of a pseudo-terminal: its raw mode and the line settings it sees.
#include "platform/serial_line.h"
#include "platform_test_support.h"

namespace platform_test {

FarSettings FarSideSettings(int master) {
  platform::serial_line::Settings line;
  if (!platform::serial_line::Read(master, line)) return {};
  FarSettings s;
  s.rate = line.baud;
  s.byte_size = line.byte_size;
  s.parity = line.parity;
  s.two_stop_bits = line.stop_bits != ONESTOPBIT;
  return s;
}

void MakeRaw(int fd) {
  platform::serial_line::Settings line;
  if (!platform::serial_line::MakeRaw(fd) || !platform::serial_line::Read(fd, line)) return;
  line.byte_size = 8;
  line.parity = NOPARITY;
  line.xon_xoff_out = line.xon_xoff_in = false;
  platform::serial_line::Write(fd, line);
}

}  // namespace platform_test
