// What the two comm backends (tty, simulated) share: the handle object, one I/O operation with
// the Windows time-out rules, and the completion of an operation.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>

#include "internal.h"

namespace platform::detail {

// OVERLAPPED.Internal while the operation runs; afterwards kDoneFlag | error.
constexpr ULONG_PTR kPending = 0x103;
constexpr ULONG_PTR kDoneFlag = 0x40000000;

struct IoOp {
  enum Type { Read, Write, WaitEvent } type;
  BYTE* read_buffer = nullptr;
  const BYTE* write_buffer = nullptr;
  DWORD size = 0;
  DWORD done = 0;
  DWORD* mask_out = nullptr;  // WaitCommEvent's result
  DWORD events = 0;           // the events that ended a WaitCommEvent
  OVERLAPPED* overlapped = nullptr;
  bool complete = false;
  DWORD error = ERROR_SUCCESS;

  // Times in microseconds on the backend's clock.
  std::uint64_t start = 0;
  std::uint64_t total_deadline = kForever;  // reads and writes
  std::uint64_t interval = 0;               // reads: 0 = no interval limit
  std::uint64_t last_byte = 0;              // reads: arrival of the latest byte
  bool immediate = false;                   // reads: return at once with what is there
  bool first_byte = false;                  // reads: return as soon as anything came

  // Reads: the moment the time-outs end the read, given what has come so far.
  std::uint64_t ReadDeadline() const {
    if (immediate) return start;
    std::uint64_t deadline = total_deadline;
    if (done > 0 && interval) deadline = std::min(deadline, last_byte + interval);
    return deadline;
  }
  // Reads: enough has come, whatever the time.
  bool ReadSatisfied() const { return done == size || (first_byte && done > 0); }
  bool ReadFinished(std::uint64_t now) const { return ReadSatisfied() || now >= ReadDeadline(); }
};

// Sets the read's time-outs from the handle's COMMTIMEOUTS as Windows applies them.
void InitRead(IoOp& op, const COMMTIMEOUTS& timeouts, std::uint64_t now);
void InitWrite(IoOp& op, const COMMTIMEOUTS& timeouts, std::uint64_t now);

// The comm events of the modem-status lines: each line (MS_*_ON) that changes raises its event.
constexpr DWORD kModemEvents = EV_CTS | EV_DSR | EV_RING | EV_RLSD;
constexpr DWORD ModemEvents(DWORD before, DWORD after) {
  DWORD changed = before ^ after, events = 0;
  if (changed & MS_CTS_ON) events |= EV_CTS;
  if (changed & MS_DSR_ON) events |= EV_DSR;
  if (changed & MS_RING_ON) events |= EV_RING;
  if (changed & MS_RLSD_ON) events |= EV_RLSD;
  return events;
}

// Under Mutex(): marks the operation done, fills the caller's OVERLAPPED and result mask, and
// signals the OVERLAPPED's event.
void CompleteOp(IoOp& op, DWORD error);

// Completes and removes every operation of a queue.
void AbortOps(std::deque<std::shared_ptr<IoOp>>& ops, DWORD error);
// Ends a pending comm-event wait with these events (none: SetCommMask ended it), or with an
// error (the handle closed, the device gone).
void EndWait(std::shared_ptr<IoOp>& wait, DWORD events, DWORD error = ERROR_SUCCESS);
// Ends a pending wait when events of the mask have occurred; they are then reported.
void ReportEvents(std::shared_ptr<IoOp>& wait, DWORD& occurred, DWORD mask);

// Checks the members of a DCB that every driver insists on.
bool ValidDcb(const DCB& dcb);

class CommObject : public Object {
 public:
  explicit CommObject(bool overlapped) : Object(Kind::Comm), overlapped(overlapped) {}
  // All under Mutex().
  virtual BOOL GetState(DCB& dcb) = 0;
  virtual BOOL SetState(const DCB& dcb) = 0;
  virtual BOOL Setup(DWORD in_queue, DWORD out_queue) = 0;
  virtual BOOL Purge(DWORD flags) = 0;
  virtual BOOL Escape(DWORD function) = 0;
  virtual BOOL ModemStatus(DWORD& status) = 0;
  virtual BOOL SetMask(DWORD mask) = 0;
  // Queues an operation; it may complete before this returns. False (last error set) when it
  // cannot start at all.
  virtual bool Start(const std::shared_ptr<IoOp>& op) = 0;
  // The backend's clock for time-outs.
  virtual std::uint64_t Now() = 0;
  // Whether a wait for its operations may move a virtual clock on.
  virtual bool VirtualTime() const = 0;

  const bool overlapped;
  COMMTIMEOUTS timeouts{};
  DWORD mask = 0;

 protected:
  // Files an operation in its queue, a write through QueueWrite; false (with the last error)
  // when a comm-event wait is pending already.
  bool Enqueue(const std::shared_ptr<IoOp>& op) {
    switch (op->type) {
      case IoOp::Read:
        reads_.push_back(op);
        break;
      case IoOp::Write:
        QueueWrite(op);
        break;
      case IoOp::WaitEvent:
        if (wait_) return Fail(ERROR_INVALID_PARAMETER);
        wait_ = op;
        break;
    }
    return true;
  }
  virtual void QueueWrite(const std::shared_ptr<IoOp>& op) { writes_.push_back(op); }
  // Ends every pending operation with `error` (writes through EndWrites).
  void AbortEverything(DWORD error) {
    AbortOps(reads_, error);
    EndWrites(error);
    EndWait(wait_, 0, error);
  }
  virtual void EndWrites(DWORD error) { AbortOps(writes_, error); }
  // The modem lines are now `status` (MS_*_ON): the events of the lines that changed, as far as
  // the mask asks for them, are pending.
  void ModemStatusNow(DWORD status) {
    events_ |= ModemEvents(modem_status_, status) & mask;
    modem_status_ = status;
  }

  std::deque<std::shared_ptr<IoOp>> reads_, writes_;
  std::shared_ptr<IoOp> wait_;
  DWORD events_ = 0;        // occurred and in the mask, not yet reported
  DWORD modem_status_ = 0;  // the modem lines as last seen
};

}  // namespace platform::detail
