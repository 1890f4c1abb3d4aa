// The simulated comm backend: an in-process device at the far end of a "\\.\COMn" handle.
//
// Both directions of the line are queues of bytes with the time their transfer ends (10 bits
// per byte at the host's rate). Service() works through everything that is due, in time order:
// bytes reaching the device (its OnByte runs at that moment), bytes reaching the receive buffer,
// and the time-outs of the pending read and writes. Bytes towards the host are moved into the
// receive buffer lazily, when someone looks; one timer on the current clock wakes the port at
// the next moment something has to happen (a byte for the device, a read or write to finish).
#include <algorithm>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "comm.h"
#include "internal.h"
#include "platform/sim_comm.h"

namespace platform::detail {
namespace {

constexpr DWORD kDefaultQueue = 4096;
// The rates a USB serial adapter can do; anything else makes SetCommState fail.
constexpr DWORD kMinRate = 50;
constexpr DWORD kMaxRate = 4000000;

DCB DefaultDcb() {
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = 9600;
  dcb.fBinary = 1;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}

sim::LineSettings SettingsOf(const DCB& dcb) {
  return {dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits};
}

std::uint64_t CharNs(DWORD baud) {
  return 10ull * 1000000000ull / std::max<DWORD>(baud, 1);
}

std::uint64_t CeilUs(std::uint64_t ns) {
  return (ns + 999) / 1000;
}

class SimPort;

// An attached device and what its "driver" keeps between opens.
struct Attachment {
  std::shared_ptr<sim::Device> device;
  DCB dcb = DefaultDcb();
  bool vanished = false;
  std::weak_ptr<SimPort> open;
};

std::map<int, std::shared_ptr<Attachment>>& Attachments() {
  static auto* attachments = new std::map<int, std::shared_ptr<Attachment>>;
  return *attachments;
}

class SimLine : public sim::Line {
 public:
  void Send(std::span<const std::uint8_t> bytes, std::uint64_t delay_us) override;
  sim::LineSettings HostSettings() const override;
  bool Rts() const override;
  bool Dtr() const override;
  void SetModemStatus(std::uint32_t ms_bits) override;
  void Vanish() override;
  Clock& clock() override { return CurrentClock(); }

  SimPort* port = nullptr;  // null once the handle is closed
  sim::LineSettings last_settings;
  bool rts = false, dtr = false;
};

// Lines stay valid for as long as a device may hold on to one.
std::vector<std::shared_ptr<SimLine>>& Lines() {
  static auto* lines = new std::vector<std::shared_ptr<SimLine>>;
  return *lines;
}

struct WireByte {
  std::uint64_t end_ns;
  std::uint64_t char_ns;
  std::uint8_t byte;
  sim::LineSettings settings;
  std::shared_ptr<IoOp> op;  // the write it belongs to (towards the device)
};

class SimPort : public CommObject, public std::enable_shared_from_this<SimPort> {
 public:
  SimPort(std::shared_ptr<Attachment> attachment, bool overlapped)
      : CommObject(overlapped), attachment_(std::move(attachment)), device_(attachment_->device) {
    line_ = std::make_shared<SimLine>();
    line_->port = this;
    line_->last_settings = SettingsOf(attachment_->dcb);
    Lines().push_back(line_);
    ApplyLineControl(attachment_->dcb, false);
  }

  void Opened() { device_->OnOpen(*line_); }

  // ---- CommObject ----
  BOOL GetState(DCB& dcb) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    dcb = attachment_->dcb;
    dcb.DCBlength = sizeof(DCB);
    return TRUE;
  }
  BOOL SetState(const DCB& dcb) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    if (dcb.BaudRate < kMinRate || dcb.BaudRate > kMaxRate) return Fail(ERROR_INVALID_PARAMETER);
    Service();
    sim::LineSettings before = SettingsOf(attachment_->dcb);
    attachment_->dcb = dcb;
    attachment_->dcb.DCBlength = sizeof(DCB);
    line_->last_settings = SettingsOf(dcb);
    if (!(line_->last_settings == before)) device_->OnSettingsChanged(*line_, line_->last_settings);
    if (!vanished_) ApplyLineControl(dcb, true);
    return TRUE;
  }
  BOOL Setup(DWORD in_queue, DWORD out_queue) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    if (in_queue) rx_capacity_ = in_queue;
    return TRUE;
  }
  BOOL Purge(DWORD flags) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    Service();
    if (flags & PURGE_RXABORT) AbortOps(reads_, ERROR_OPERATION_ABORTED);
    // Only what has arrived is dropped; bytes still on the wire arrive later.
    if (flags & PURGE_RXCLEAR) rx_.clear();
    if (flags & PURGE_TXABORT) EndWrites(ERROR_OPERATION_ABORTED);
    // PURGE_TXCLEAR: a write completes only once its bytes have left, so no driver buffer
    // holds anything to clear.
    Reschedule();
    return TRUE;
  }
  BOOL Escape(DWORD function) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    bool rts = line_->rts, dtr = line_->dtr;
    switch (function) {
      case SETRTS:
        rts = true;
        break;
      case CLRRTS:
        rts = false;
        break;
      case SETDTR:
        dtr = true;
        break;
      case CLRDTR:
        dtr = false;
        break;
      default:
        return TRUE;  // XON/XOFF and break: nothing the devices look at
    }
    SetLines(rts, dtr, true);
    return TRUE;
  }
  BOOL ModemStatus(DWORD& status) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    status = modem_status_;
    return TRUE;
  }
  BOOL SetMask(DWORD new_mask) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    mask = new_mask;
    events_ = 0;
    // A pending wait ends with no events, as on Windows.
    EndWait(wait_, 0);
    Reschedule();
    return TRUE;
  }
  bool Start(const std::shared_ptr<IoOp>& op) override {
    if (vanished_) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    if (!Enqueue(op)) return false;
    Service();
    return true;
  }
  std::uint64_t Now() override { return NowUs(); }
  bool VirtualTime() const override { return true; }

  bool Close() override {
    Lock lock(Mutex());
    AbortEverything(ERROR_OPERATION_ABORTED);
    to_host_.clear();
    timer_.Cancel();
    closed_ = true;
    attachment_->open.reset();
    device_->OnClose(*line_);
    line_->port = nullptr;
    return true;
  }

  // ---- The device's side (SimLine) ----
  void DeviceSend(std::span<const std::uint8_t> bytes, std::uint64_t delay_us) {
    if (vanished_ || closed_) return;
    std::uint64_t now_ns = NowUs() * 1000;
    std::uint64_t t = std::max(now_ns + delay_us * 1000, to_host_free_ns_);
    std::uint64_t char_ns = CharNs(attachment_->dcb.BaudRate);
    for (std::uint8_t b : bytes) {
      t += char_ns;
      to_host_.push_back({t, char_ns, b, {}, nullptr});
    }
    to_host_free_ns_ = t;
    Service();
  }
  void DeviceModemStatus(std::uint32_t bits) {
    if (vanished_ || closed_) return;
    Service();
    ModemStatusNow(bits);
    Service();
  }
  void DeviceVanish() {
    if (vanished_ || closed_) return;
    vanished_ = true;
    attachment_->vanished = true;
    AbortEverything(ERROR_DEVICE_NOT_CONNECTED);
    to_host_.clear();
    rx_.clear();
    timer_.Cancel();
  }

 private:
  void ApplyLineControl(const DCB& dcb, bool notify) {
    bool dtr = dcb.fDtrControl != DTR_CONTROL_DISABLE;
    bool rts = dcb.fRtsControl == RTS_CONTROL_ENABLE || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
    SetLines(rts, dtr, notify);
  }
  void SetLines(bool rts, bool dtr, bool notify) {
    if (rts == line_->rts && dtr == line_->dtr) return;
    line_->rts = rts;
    line_->dtr = dtr;
    if (notify) device_->OnModemLines(*line_, rts, dtr);
  }

  void QueueWrite(const std::shared_ptr<IoOp>& op) override {
    if (op->size == 0) {
      CompleteOp(*op, ERROR_SUCCESS);
      return;
    }
    std::uint64_t t = std::max(NowUs() * 1000, to_device_free_ns_);
    std::uint64_t char_ns = CharNs(attachment_->dcb.BaudRate);
    sim::LineSettings settings = SettingsOf(attachment_->dcb);
    for (DWORD i = 0; i < op->size; ++i) {
      t += char_ns;
      to_device_.push_back({t, char_ns, op->write_buffer[i], settings, op});
    }
    to_device_free_ns_ = t;
    writes_.push_back(op);
  }

  // Ends a write: its bytes not yet sent leave the wire and later writes move up.
  void EndWrite(const std::shared_ptr<IoOp>& op, DWORD error) {
    std::shared_ptr<IoOp> keep = op;
    writes_.erase(std::remove(writes_.begin(), writes_.end(), keep), writes_.end());
    std::uint64_t now_ns = NowUs() * 1000;
    std::deque<WireByte> kept;
    for (auto& b : to_device_) {
      // The byte on the wire now goes on; the write's unsent bytes are dropped.
      if (b.op == keep && b.end_ns - b.char_ns >= now_ns) continue;
      kept.push_back(std::move(b));
    }
    to_device_ = std::move(kept);
    std::uint64_t t = now_ns;
    for (auto& b : to_device_) {
      if (b.end_ns - b.char_ns < now_ns) {
        t = b.end_ns;  // already on the wire
        continue;
      }
      b.end_ns = t + b.char_ns;
      t = b.end_ns;
    }
    to_device_free_ns_ = to_device_.empty() ? std::min(to_device_free_ns_, now_ns) : t;
    CompleteOp(*keep, error);
  }

  void EndWrites(DWORD error) override {
    while (!writes_.empty()) EndWrite(writes_.front(), error);
  }

  bool RxWanted() const { return !reads_.empty() || (wait_ && (mask & EV_RXCHAR)); }

  // Moves arrived bytes into the front reads; `t_us` is the time of the latest arrival.
  void FeedReads(std::uint64_t t_us) {
    while (!reads_.empty()) {
      auto& op = *reads_.front();
      bool moved = false;
      while (op.done < op.size && !rx_.empty()) {
        op.read_buffer[op.done++] = rx_.front();
        rx_.pop_front();
        moved = true;
      }
      if (moved) op.last_byte = t_us;
      if (!op.ReadSatisfied()) break;
      CompleteOp(op, ERROR_SUCCESS);
      reads_.pop_front();
    }
  }

  void Service() {
    if (servicing_) return;  // a device callback inside the loop: the loop picks it up
    servicing_ = true;
    for (;;) {
      if (vanished_ || closed_) break;
      std::uint64_t now_ns = NowUs() * 1000;
      // The earliest due step; at equal times bytes go before time-outs.
      enum { None, ToDevice, ToHost, ReadTimeout, WriteTimeout } step = None;
      std::uint64_t at = kForever;
      std::shared_ptr<IoOp> timed_out;
      if (!to_device_.empty() && to_device_.front().end_ns <= now_ns)
        step = ToDevice, at = to_device_.front().end_ns;
      if (!to_host_.empty() && to_host_.front().end_ns <= now_ns && to_host_.front().end_ns < at)
        step = ToHost, at = to_host_.front().end_ns;
      if (!reads_.empty()) {
        std::uint64_t deadline = reads_.front()->ReadDeadline();
        if (deadline != kForever && deadline * 1000 <= now_ns && deadline * 1000 < at)
          step = ReadTimeout, at = deadline * 1000;
      }
      for (auto& op : writes_) {
        if (op->total_deadline != kForever && op->total_deadline * 1000 <= now_ns &&
            op->total_deadline * 1000 < at) {
          step = WriteTimeout, at = op->total_deadline * 1000;
          timed_out = op;
        }
      }
      if (step == None) break;
      switch (step) {
        case ToDevice: {
          WireByte b = std::move(to_device_.front());
          to_device_.pop_front();
          if (++b.op->done == b.op->size) {
            writes_.erase(std::remove(writes_.begin(), writes_.end(), b.op), writes_.end());
            CompleteOp(*b.op, ERROR_SUCCESS);
          }
          device_->OnByte(*line_, b.byte, b.settings);
          break;
        }
        case ToHost: {
          WireByte b = to_host_.front();
          to_host_.pop_front();
          if (rx_.size() < rx_capacity_) rx_.push_back(b.byte);  // a full buffer loses the byte
          events_ |= EV_RXCHAR & mask;
          FeedReads(CeilUs(b.end_ns));
          ReportEvents(wait_, events_, mask);
          break;
        }
        case ReadTimeout:
          CompleteOp(*reads_.front(), ERROR_SUCCESS);
          reads_.pop_front();
          FeedReads(at / 1000);
          break;
        case WriteTimeout:
          EndWrite(timed_out, ERROR_SUCCESS);
          break;
        case None:
          break;
      }
    }
    if (!vanished_ && !closed_) {
      FeedReads(NowUs());
      ReportEvents(wait_, events_, mask);
    }
    servicing_ = false;
    Reschedule();
  }

  void Reschedule() {
    if (vanished_ || closed_) {
      timer_.Cancel();
      return;
    }
    std::uint64_t next_ns = kForever;
    if (!to_device_.empty()) next_ns = to_device_.front().end_ns;
    if (!to_host_.empty() && RxWanted()) next_ns = std::min(next_ns, to_host_.front().end_ns);
    if (!reads_.empty() && reads_.front()->ReadDeadline() != kForever)
      next_ns = std::min(next_ns, reads_.front()->ReadDeadline() * 1000);
    for (auto& op : writes_)
      if (op->total_deadline != kForever) next_ns = std::min(next_ns, op->total_deadline * 1000);
    if (next_ns == kForever) {
      timer_.Cancel();
      return;
    }
    std::uint64_t next_us = CeilUs(next_ns);
    if (timer_.When() == next_us) return;
    std::weak_ptr<SimPort> weak = shared_from_this();
    timer_.At(next_us, [weak] {
      if (auto port = weak.lock()) {
        Lock lock(Mutex());
        port->Service();
      }
    });
  }

  std::shared_ptr<Attachment> attachment_;
  std::shared_ptr<sim::Device> device_;
  std::shared_ptr<SimLine> line_;
  DWORD rx_capacity_ = kDefaultQueue;
  std::deque<std::uint8_t> rx_;
  std::deque<WireByte> to_host_, to_device_;
  std::uint64_t to_host_free_ns_ = 0, to_device_free_ns_ = 0;
  bool vanished_ = false, closed_ = false, servicing_ = false;
  Timer timer_;
};

void SimLine::Send(std::span<const std::uint8_t> bytes, std::uint64_t delay_us) {
  Lock lock(Mutex());
  if (port) port->DeviceSend(bytes, delay_us);
}
sim::LineSettings SimLine::HostSettings() const {
  Lock lock(Mutex());
  return last_settings;
}
bool SimLine::Rts() const {
  Lock lock(Mutex());
  return rts;
}
bool SimLine::Dtr() const {
  Lock lock(Mutex());
  return dtr;
}
void SimLine::SetModemStatus(std::uint32_t ms_bits) {
  Lock lock(Mutex());
  if (port) port->DeviceModemStatus(ms_bits);
}
void SimLine::Vanish() {
  Lock lock(Mutex());
  if (port) port->DeviceVanish();
}

// Unplugging: a handle that has the device open loses it.
void Unplug(const std::shared_ptr<Attachment>& attachment) {
  if (auto port = attachment->open.lock()) port->DeviceVanish();
}

}  // namespace

std::vector<int> AttachedSimPorts() {
  Lock lock(Mutex());
  std::vector<int> numbers;
  for (auto& [number, attachment] : Attachments())
    if (!attachment->vanished) numbers.push_back(number);
  return numbers;
}

bool SimAttached(int number) {
  Lock lock(Mutex());
  auto it = Attachments().find(number);
  return it != Attachments().end() && !it->second->vanished;
}

std::shared_ptr<Object> OpenSimPort(int number, const std::string& path, bool overlapped) {
  Lock lock(Mutex());
  auto it = Attachments().find(number);
  if (it == Attachments().end() || it->second->vanished) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  auto& attachment = it->second;
  if (!attachment->open.expired()) {
    SetLastError(ERROR_SHARING_VIOLATION);  // no sharing
    return nullptr;
  }
  auto port = std::make_shared<SimPort>(attachment, overlapped);
  port->path = path;
  attachment->open = port;
  port->Opened();
  return port;
}

}  // namespace platform::detail

namespace platform::sim {

void Attach(const std::string& port_name, std::shared_ptr<Device> device) {
  int number = detail::ComNumber(port_name);
  if (!number || !device) return;
  detail::Lock lock(detail::Mutex());
  auto attachment = std::make_shared<detail::Attachment>();
  attachment->device = std::move(device);
  detail::Attachments()[number] = std::move(attachment);
}

void Detach(const std::string& port_name) {
  detail::Lock lock(detail::Mutex());
  auto it = detail::Attachments().find(detail::ComNumber(port_name));
  if (it == detail::Attachments().end()) return;
  detail::Unplug(it->second);
  detail::Attachments().erase(it);
}

void DetachAll() {
  detail::Lock lock(detail::Mutex());
  for (auto& [number, attachment] : detail::Attachments()) detail::Unplug(attachment);
  detail::Attachments().clear();
}

}  // namespace platform::sim
