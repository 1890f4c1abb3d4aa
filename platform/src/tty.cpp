// The tty comm backend: a serial device (or pseudo-terminal) in raw mode, opened exclusively.
//
// All reads and writes on the descriptor are non-blocking and run under the platform lock; one
// I/O thread per handle waits in poll() for the descriptor, the next time-out and a wake-up
// from callers, and completes the queued operations, so plain calls (which wait for their
// operation) and overlapped ones (which return at once) share one path. Time-outs run on the
// real clock whatever clock is installed: the device is real.
#include <asm/ioctls.h>
#include <asm/termios.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <thread>

#include "comm.h"
#include "internal.h"
#include "platform/serial_line.h"

// <sys/ioctl.h> would pull in the libc termios types, which clash with the kernel's termios2.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace platform::detail {
namespace {

// A rate the driver reports back may differ from the one asked by this much (USB adapters
// round to what their dividers give); beyond it the rate counts as refused.
constexpr double kRateTolerance = 0.03;
// How often the modem lines are looked at while a comm-event wait for them is pending.
constexpr int kModemPollMs = 10;

DCB DefaultShadow() {
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  dcb.fBinary = 1;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  return dcb;
}

class TtyPort : public CommObject {
 public:
  TtyPort(int fd, bool overlapped) : CommObject(overlapped), fd_(fd) {
    wake_fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    int lines = 0;
    has_modem_lines_ = ::ioctl(fd_, TIOCMGET, &lines) == 0;
    if (has_modem_lines_) modem_status_ = ModemBits(lines);
  }
  ~TtyPort() override {
    if (io_.joinable()) {
      {
        Lock lock(Mutex());
        stopping_ = true;
        Wake();
      }
      io_.join();
    }
    Release();
  }

  void StartThread() {
    io_ = std::thread([this] { Run(); });
  }

  // ---- CommObject ----
  BOOL GetState(DCB& dcb) override {
    if (gone_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    serial_line::Settings line;
    if (!serial_line::Read(fd_, line)) return FailErrno(errno);
    dcb = shadow_;
    dcb.DCBlength = sizeof(DCB);
    dcb.fBinary = 1;
    dcb.BaudRate = line.baud;
    dcb.ByteSize = line.byte_size;
    dcb.Parity = line.parity;
    dcb.StopBits = line.stop_bits;
    dcb.fParity = line.parity_check ? 1 : 0;
    dcb.fOutxCtsFlow = line.rts_cts ? 1 : 0;
    if (line.rts_cts)
      dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    else if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE)
      dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = line.xon_xoff_out ? 1 : 0;
    dcb.fInX = line.xon_xoff_in ? 1 : 0;
    dcb.XonChar = line.xon_char;
    dcb.XoffChar = line.xoff_char;
    return TRUE;
  }

  BOOL SetState(const DCB& dcb) override {
    if (gone_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    serial_line::Settings old;
    if (!serial_line::Read(fd_, old)) return FailErrno(errno);
    serial_line::Settings line = old;
    line.baud = dcb.BaudRate;
    line.byte_size = dcb.ByteSize >= 5 && dcb.ByteSize <= 8 ? dcb.ByteSize : 8;
    line.parity = dcb.Parity <= SPACEPARITY ? dcb.Parity : NOPARITY;
    line.stop_bits = dcb.StopBits;
    line.parity_check = dcb.fParity;
    line.rts_cts = dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
    line.xon_xoff_out = dcb.fOutX;
    line.xon_xoff_in = dcb.fInX;
    line.xon_char = dcb.XonChar;
    line.xoff_char = dcb.XoffChar;
    if (!serial_line::Write(fd_, line)) return FailErrno(errno);
    // Drivers round or substitute rates and drop what they cannot do (a pseudo-terminal keeps
    // 8 bits without parity whatever it is told): look at what the device really runs with.
    serial_line::Settings now;
    if (!serial_line::Read(fd_, now)) return FailErrno(errno);
    double actual = now.baud, wanted = dcb.BaudRate;
    bool framing = now.byte_size == line.byte_size && now.parity == line.parity &&
                   (now.stop_bits == ONESTOPBIT) == (line.stop_bits == ONESTOPBIT);
    if (actual < wanted * (1 - kRateTolerance) || actual > wanted * (1 + kRateTolerance) ||
        !framing) {
      serial_line::Write(fd_, old);
      return Fail(ERROR_INVALID_PARAMETER);
    }
    shadow_ = dcb;
    // The modem lines as the DCB asks; a pseudo-terminal has none, which is no error here.
    SetLine(TIOCM_DTR, dcb.fDtrControl != DTR_CONTROL_DISABLE);
    if (dcb.fRtsControl != RTS_CONTROL_HANDSHAKE)
      SetLine(TIOCM_RTS, dcb.fRtsControl == RTS_CONTROL_ENABLE);
    return TRUE;
  }

  BOOL Setup(DWORD, DWORD) override {
    // The kernel's buffers have their own sizes.
    return gone_ ? Fail(ERROR_DEVICE_NOT_CONNECTED) : TRUE;
  }

  BOOL Purge(DWORD flags) override {
    if (gone_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    if (flags & PURGE_RXABORT) AbortOps(reads_, ERROR_OPERATION_ABORTED);
    if (flags & PURGE_TXABORT) AbortOps(writes_, ERROR_OPERATION_ABORTED);
    if (flags & PURGE_RXCLEAR) in_pos_ = in_len_ = 0;
    if ((flags & PURGE_RXCLEAR) && ::ioctl(fd_, TCFLSH, TCIFLUSH) != 0) return FailErrno(errno);
    if ((flags & PURGE_TXCLEAR) && ::ioctl(fd_, TCFLSH, TCOFLUSH) != 0) return FailErrno(errno);
    Wake();
    return TRUE;
  }

  BOOL Escape(DWORD function) override {
    if (gone_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    int result = 0;
    switch (function) {
      case SETRTS:
        return SetLine(TIOCM_RTS, true) ? TRUE : Fail(ERROR_NOT_SUPPORTED);
      case CLRRTS:
        return SetLine(TIOCM_RTS, false) ? TRUE : Fail(ERROR_NOT_SUPPORTED);
      case SETDTR:
        return SetLine(TIOCM_DTR, true) ? TRUE : Fail(ERROR_NOT_SUPPORTED);
      case CLRDTR:
        return SetLine(TIOCM_DTR, false) ? TRUE : Fail(ERROR_NOT_SUPPORTED);
      case SETBREAK:
        result = ::ioctl(fd_, TIOCSBRK);
        break;
      case CLRBREAK:
        result = ::ioctl(fd_, TIOCCBRK);
        break;
      case SETXOFF:
        result = ::ioctl(fd_, TCXONC, TCOOFF);
        break;
      case SETXON:
        result = ::ioctl(fd_, TCXONC, TCOON);
        break;
      default:
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return result == 0 ? TRUE : FailErrno(errno);
  }

  BOOL ModemStatus(DWORD& status) override {
    if (gone_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    int lines = 0;
    // No modem lines (a pseudo-terminal): all of them read as off.
    status = ::ioctl(fd_, TIOCMGET, &lines) == 0 ? ModemBits(lines) : 0;
    return TRUE;
  }

  BOOL SetMask(DWORD new_mask) override {
    if (gone_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    mask = new_mask;
    events_ = 0;
    int lines = 0;
    if (has_modem_lines_ && ::ioctl(fd_, TIOCMGET, &lines) == 0) modem_status_ = ModemBits(lines);
    EndWait(wait_, 0);
    Wake();
    return TRUE;
  }

  bool Start(const std::shared_ptr<IoOp>& op) override {
    // What was read ahead before the device went is still handed out.
    if (gone_) {
      if (op->type != IoOp::Read || Buffered() == 0) return Fail(ERROR_DEVICE_NOT_CONNECTED);
      TakeBuffered(*op, RealNowUs());
      CompleteOp(*op, ERROR_SUCCESS);
      return true;
    }
    if (!Enqueue(op)) return false;
    Service();
    // The I/O thread has to look again only for what is still pending; a read served from
    // the buffer costs no system call.
    if (!op->complete) Wake();
    return true;
  }

  std::uint64_t Now() override { return RealNowUs(); }
  bool VirtualTime() const override { return false; }

  bool Close() override {
    {
      Lock lock(Mutex());
      stopping_ = true;
      AbortEverything(ERROR_OPERATION_ABORTED);
      Wake();
    }
    if (io_.joinable()) io_.join();
    return Release();
  }

 private:
  static DWORD ModemBits(int lines) {
    DWORD status = 0;
    if (lines & TIOCM_CTS) status |= MS_CTS_ON;
    if (lines & TIOCM_DSR) status |= MS_DSR_ON;
    if (lines & TIOCM_RI) status |= MS_RING_ON;
    if (lines & TIOCM_CD) status |= MS_RLSD_ON;
    return status;
  }

  std::size_t Buffered() const { return in_len_ - in_pos_; }
  // Moves what the read-ahead buffer holds into the read, as far as it asks.
  void TakeBuffered(IoOp& op, std::uint64_t now) {
    std::size_t n = std::min<std::size_t>(Buffered(), op.size - op.done);
    if (n == 0) return;
    std::memcpy(op.read_buffer + op.done, in_buf_ + in_pos_, n);
    in_pos_ += n;
    op.done += static_cast<DWORD>(n);
    op.last_byte = now;
  }

  bool SetLine(int line, bool on) { return ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0; }

  bool Release() {
    if (fd_ < 0) return true;
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    if (wake_fd_ >= 0) ::close(wake_fd_);
    wake_fd_ = -1;
    return ok;
  }

  void Wake() {
    std::uint64_t one = 1;
    if (wake_fd_ >= 0) [[maybe_unused]]
      auto n = ::write(wake_fd_, &one, sizeof one);
  }

  // The device is gone (unplugged, or the far side of the pseudo-terminal closed).
  void Gone() {
    gone_ = true;
    AbortEverything(ERROR_DEVICE_NOT_CONNECTED);
  }

  static bool GoneErrno(int err) {
    return err == EIO || err == ENXIO || err == ENODEV || err == EPIPE;
  }

  // Under the lock: moves what the descriptor allows and completes what is done.
  void Service() {
    if (gone_ || stopping_) return;
    std::uint64_t now = RealNowUs();
    bool got_bytes = false;
    while (!reads_.empty()) {
      IoOp& op = *reads_.front();
      bool failed = false;
      while (!op.ReadSatisfied() && op.done < op.size) {
        if (Buffered() == 0) {
          // The descriptor is read in large pieces, so a caller taking a byte at a time
          // costs no system call per byte.
          ssize_t n = ::read(fd_, in_buf_, sizeof in_buf_);
          if (n > 0) {
            in_pos_ = 0;
            in_len_ = static_cast<std::size_t>(n);
            got_bytes = true;
          } else if (n == 0 || GoneErrno(errno)) {
            Gone();
            return;
          } else if (errno != EAGAIN && errno != EINTR) {
            CompleteOp(op, ErrorFromErrno(errno));
            reads_.pop_front();
            failed = true;
            break;
          } else {
            break;
          }
        }
        TakeBuffered(op, now);
      }
      if (failed) continue;
      if (!op.ReadFinished(now)) break;
      CompleteOp(op, ERROR_SUCCESS);
      reads_.pop_front();
    }
    while (!writes_.empty()) {
      IoOp& op = *writes_.front();
      if (op.done < op.size) {
        ssize_t n = ::write(fd_, op.write_buffer + op.done, op.size - op.done);
        if (n > 0) {
          op.done += static_cast<DWORD>(n);
        } else if (n < 0 && GoneErrno(errno)) {
          Gone();
          return;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
          CompleteOp(op, ErrorFromErrno(errno));
          writes_.pop_front();
          continue;
        }
      }
      // A write that times out completes with what went: not an error.
      if (op.done < op.size && now < op.total_deadline) break;
      CompleteOp(op, ERROR_SUCCESS);
      writes_.pop_front();
    }
    for (auto it = writes_.begin(); it != writes_.end();) {
      if (now >= (*it)->total_deadline) {
        CompleteOp(**it, ERROR_SUCCESS);
        it = writes_.erase(it);
      } else {
        ++it;
      }
    }
    if (mask & EV_RXCHAR) {
      int waiting = 0;
      if (got_bytes || Buffered() > 0 || (::ioctl(fd_, FIONREAD, &waiting) == 0 && waiting > 0))
        events_ |= EV_RXCHAR;
    }
    int lines = 0;
    if (wait_ && (mask & kModemEvents) && has_modem_lines_ && ::ioctl(fd_, TIOCMGET, &lines) == 0)
      ModemStatusNow(ModemBits(lines));
    ReportEvents(wait_, events_, mask);
  }

  void Run() {
    for (;;) {
      Lock lock(Mutex());
      if (stopping_) return;
      Service();
      short interest = 0;
      if (!gone_) {
        if (!reads_.empty() || (wait_ && (mask & EV_RXCHAR))) interest |= POLLIN;
        if (!writes_.empty()) interest |= POLLOUT;
      }
      std::uint64_t now = RealNowUs();
      std::uint64_t wake_at = kForever;
      if (!reads_.empty()) wake_at = std::min(wake_at, reads_.front()->ReadDeadline());
      for (auto& op : writes_) wake_at = std::min(wake_at, op->total_deadline);
      int timeout = -1;
      if (wake_at != kForever)
        timeout = wake_at <= now ? 0 : static_cast<int>((wake_at - now + 999) / 1000);
      if (!gone_ && wait_ && has_modem_lines_ && (mask & kModemEvents))
        timeout = timeout < 0 ? kModemPollMs : std::min(timeout, kModemPollMs);
      lock.unlock();

      // A gone device is not polled any more: its hang-up would be reported again and again.
      pollfd fds[2] = {{wake_fd_, POLLIN, 0}, {fd_, interest, 0}};
      int count = gone_ ? 1 : 2;
      int ready = ::poll(fds, count, timeout);
      if (ready > 0 && (fds[0].revents & POLLIN)) {
        std::uint64_t value;
        [[maybe_unused]] auto n = ::read(wake_fd_, &value, sizeof value);
      }
      if (count == 2 && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))) {
        Lock relock(Mutex());
        // Take what is still readable first; the next read then sees the end.
        Service();
        if (!gone_) Gone();
      }
    }
  }

  int fd_;
  int wake_fd_ = -1;
  // Bytes read from the descriptor and not yet handed to a read.
  BYTE in_buf_[4096];
  std::size_t in_pos_ = 0, in_len_ = 0;
  std::thread io_;
  bool stopping_ = false;
  bool gone_ = false;
  bool has_modem_lines_ = false;
  DCB shadow_ = DefaultShadow();
};

}  // namespace

std::shared_ptr<Object> OpenTtyPort(const std::string& device, const std::string& path,
                                    bool overlapped) {
  // A failed step closes the descriptor; the error is the step's errno as an open sees it.
  int fd = -1;
  auto fail = [&](int err) -> std::shared_ptr<Object> {
    if (fd >= 0) ::close(fd);
    SetLastError(OpenErrorFromErrno(err, device));
    return nullptr;
  };
  fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  serial_line::Settings line;
  // Not a tty: no serial port behind the name.
  if (!serial_line::Read(fd, line)) return fail(ENXIO);
  // No sharing: another handle, here or in another program, holds the port. (Another program's
  // TIOCEXCL fails the open itself, with EBUSY, for anyone but root.)
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno);
  if (::ioctl(fd, TIOCEXCL) != 0) return fail(errno);
  // Raw bytes both ways; the line settings stay as the driver has them.
  if (!serial_line::MakeRaw(fd)) {
    int err = errno;
    ::ioctl(fd, TIOCNXCL);
    return fail(err);
  }
  auto port = std::make_shared<TtyPort>(fd, overlapped);
  port->path = path;
  port->StartThread();
  return port;
}

}  // namespace platform::detail
