#include "platform/serial_line.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

// <sys/ioctl.h> would pull in the libc termios types, which clash with the kernel's termios2.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace platform::serial_line {
namespace {

// The comm API's parity and stop-bit values (kept here: windows.h is not needed otherwise).
enum : std::uint8_t { kNoParity, kOdd, kEven, kMark, kSpace };
enum : std::uint8_t { kOneStop, kOne5Stop, kTwoStop };

struct StandardRate {
  std::uint32_t rate;
  unsigned code;
};
constexpr StandardRate kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

// A standard rate by its B constant (drivers know those best), any other as BOTHER with the
// exact figure; the input rate follows the output rate.
void SetRate(termios2& t, std::uint32_t rate) {
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  unsigned code = BOTHER;
  for (const StandardRate& standard : kStandardRates)
    if (standard.rate == rate) code = standard.code;
  t.c_cflag |= code;
  t.c_ispeed = t.c_ospeed = rate;
}

}  // namespace

bool Read(int fd, Settings& s) {
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return false;
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
  if (!(t.c_cflag & PARENB))
    s.parity = kNoParity;
  else if (t.c_cflag & CMSPAR)
    s.parity = (t.c_cflag & PARODD) ? kMark : kSpace;
  else
    s.parity = (t.c_cflag & PARODD) ? kOdd : kEven;
  s.stop_bits = !(t.c_cflag & CSTOPB) ? kOneStop : s.byte_size == 5 ? kOne5Stop : kTwoStop;
  s.parity_check = t.c_iflag & INPCK;
  s.rts_cts = t.c_cflag & CRTSCTS;
  s.xon_xoff_out = t.c_iflag & IXON;
  s.xon_xoff_in = t.c_iflag & IXOFF;
  s.xon_char = static_cast<char>(t.c_cc[VSTART]);
  s.xoff_char = static_cast<char>(t.c_cc[VSTOP]);
  return true;
}

bool Write(int fd, const Settings& s) {
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= s.byte_size == 5 ? CS5 : s.byte_size == 6 ? CS6 : s.byte_size == 7 ? CS7 : CS8;
  switch (s.parity) {
    case kOdd:
      t.c_cflag |= PARENB | PARODD;
      break;
    case kEven:
      t.c_cflag |= PARENB;
      break;
    case kMark:
      t.c_cflag |= PARENB | PARODD | CMSPAR;
      break;
    case kSpace:
      t.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      break;
  }
  if (s.stop_bits != kOneStop) t.c_cflag |= CSTOPB;
  if (s.rts_cts) t.c_cflag |= CRTSCTS;
  t.c_iflag &= ~(INPCK | IXON | IXOFF);
  if (s.parity_check) t.c_iflag |= INPCK;
  if (s.xon_xoff_out) t.c_iflag |= IXON;
  if (s.xon_xoff_in) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = static_cast<unsigned char>(s.xon_char);
  t.c_cc[VSTOP] = static_cast<unsigned char>(s.xoff_char);
  SetRate(t, s.baud);
  return ::ioctl(fd, TCSETS2, &t) == 0;
}

bool MakeRaw(int fd) {
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_iflag &=
      ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXANY | IUCLC | IMAXBEL);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag |= CREAD | CLOCAL;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  return ::ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace platform::serial_line
