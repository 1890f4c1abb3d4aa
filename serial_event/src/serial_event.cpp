#include "serial_event/serial_event.h"

#include <cstring>

#include "platform/crt.h"

Tserial_event::Tserial_event() {
  for (int i = 0; i < EV_COUNT; ++i) {
    const bool manual = i == EV_RX_DONE || i == EV_TX_DONE || i == EV_EVT_DONE;
    events[i] = CreateEventA(nullptr, manual ? TRUE : FALSE, FALSE, nullptr);
    if (!events[i]) events[i] = INVALID_HANDLE_VALUE;
  }
}

Tserial_event::~Tserial_event() {
  // The owner stops the port first; a worker that is still ending must not outlive the
  // events and buffers it uses.
  if (thread && !reap_thread(100)) {
    if (events[EV_QUIT] != INVALID_HANDLE_VALUE) SetEvent(events[EV_QUIT]);
    reap_thread(kReopenWaitMs);
  }
  if (thread) return;  // still running: leave it what it uses
  for (HANDLE& event : events) {
    if (event != INVALID_HANDLE_VALUE) CloseHandle(event);
    event = INVALID_HANDLE_VALUE;
  }
  HANDLE h = handle.exchange(INVALID_HANDLE_VALUE);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

bool Tserial_event::reap_thread(DWORD ms) {
  if (!thread) return true;
  if (WaitForSingleObject(thread, ms) != WAIT_OBJECT_0) return false;
  CloseHandle(thread);
  thread = nullptr;
  return true;
}

TOpenResult Tserial_event::open(const char* path, unsigned baud_rate, int parity_mode,
                                unsigned char byte_size, unsigned char modem) {
  // A worker left running by stop() owns the old handle until it ends.
  if (!reap_thread(kReopenWaitMs)) return SE_ERR_OPEN;
  HANDLE old = handle.exchange(INVALID_HANDLE_VALUE);
  if (old != INVALID_HANDLE_VALUE) CloseHandle(old);

  TOpenResult result = SE_OK;
  open_error_ = 0;
  if (!path) {
    result = SE_ERR_NAME;
  } else if (std::strlen(path) >= sizeof port_name) {
    result = SE_ERR_OPEN;  // no device has a longer path
  } else {
    std::strcpy(port_name, path);
    baud = baud_rate;
    parity = parity_mode;
    modem_events = modem;
    ov_read = OVERLAPPED{};
    ov_write = OVERLAPPED{};
    ov_event = OVERLAPPED{};

    DCB dcb{};
    dcb.DCBlength = 28;
    dcb.BaudRate = baud;
    dcb.fBinary = 1;
    dcb.fParity = (parity == 1 || parity == 2) ? 1 : 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.XonLim = 2;
    dcb.XoffLim = 4;
    dcb.ByteSize = byte_size;
    dcb.Parity = (parity == 1 || parity == 2) ? static_cast<BYTE>(parity) : NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.XonChar = 0x13;
    dcb.XoffChar = 0x19;
    // A read ends as soon as a byte has arrived, with every byte there by then (up to
    // rx_chunk): a worker held up for a while catches up in a few reads instead of falling
    // behind one byte per read. Writes have no time-outs.
    COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, kReadWaitMs, 0, 0};

    HANDLE h = CreateFileA(port_name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    ov_read.hEvent = events[EV_RX_DONE];
    ov_write.hEvent = events[EV_TX_DONE];
    ov_event.hEvent = events[EV_EVT_DONE];
    if (h == INVALID_HANDLE_VALUE) {
      open_error_ = GetLastError();
      result = SE_ERR_OPEN;
    } else {
      handle = h;
      if (!SetCommMask(h, modem_events ? (EV_RING | EV_RLSD) : 0)) result = SE_ERR_MASK;
      if (!SetCommTimeouts(h, &timeouts)) result = SE_ERR_TIMEOUTS;
      if (!SetCommState(h, &dcb)) result = SE_ERR_STATE;
    }
  }
  for (HANDLE event : events)
    if (event == INVALID_HANDLE_VALUE) result = SE_ERR_EVENT;

  if (result != SE_OK) {
    HANDLE h = handle.exchange(INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return result;
  }
  // A quit or write request from before this open is not for this port.
  ResetEvent(events[EV_QUIT]);
  ResetEvent(events[EV_TX_REQ]);
  for (int i : {EV_RX_DONE, EV_TX_DONE, EV_EVT_DONE}) ResetEvent(events[i]);
  // Cleared here, before the worker starts: a send made right after this open must not be
  // forgotten by a worker that starts late.
  tx_busy = 0;
  running = 1;  // the worker confirms it; is_running() is true from here on
  std::uintptr_t t = crt::_beginthreadex(nullptr, 0, serial_thread, this, 0, &thread_id);
  if (!t) {
    running = 0;
    HANDLE h = handle.exchange(INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return SE_ERR_OPEN;
  }
  thread = reinterpret_cast<HANDLE>(t);
  return SE_OK;
}

void Tserial_event::stop() {
  running = 0;
  if (events[EV_QUIT] != INVALID_HANDLE_VALUE) SetEvent(events[EV_QUIT]);
  // A worker that has not ended within 100 ms ends by itself; its handle is kept so that the
  // next open waits for it.
  reap_thread(100);
}

void Tserial_event::set_rx_chunk(int n) {
  rx_chunk = n < 1 ? 1u : n > 256 ? 256u : static_cast<unsigned>(n);
}

void Tserial_event::rx_rearm() {
  SetEvent(events[EV_RX_REQ]);
}

void Tserial_event::send(const void* data, unsigned len) {
  if (tx_busy.load() || len >= sizeof tx_buf || !data || handle.load() == INVALID_HANDLE_VALUE)
    return;
  tx_busy = 1;
  std::memcpy(tx_buf, data, len);
  tx_len = static_cast<int>(len);
  SetEvent(events[EV_TX_REQ]);
}

void Tserial_event::modem_status(DWORD mask) {
  DWORD lines = 0;
  if (!GetCommModemStatus(handle, &lines)) lines = 0;
  if ((mask & EV_RING) && (lines & MS_RING_ON)) notify(SE_RING);
  if (mask & EV_RLSD) notify((lines & MS_RLSD_ON) ? SE_RLSD_ON : SE_RLSD_OFF);
}

void Tserial_event::run() {
  running = 1;
  rx_pending = 0;
  evt_pending = 0;
  notify(SE_START);
  SetEvent(events[EV_RX_REQ]);
  if (modem_events) SetEvent(events[EV_EVT_REQ]);

  const HANDLE h = handle;
  bool go = true;
  while (go) {
    DWORD w = WaitForMultipleObjects(EV_COUNT, events, FALSE, INFINITE);
    if (w >= WAIT_OBJECT_0 + EV_COUNT) break;
    DWORD done = 0;
    switch (w - WAIT_OBJECT_0) {
      case EV_QUIT:
        go = false;
        break;
      case EV_RX_DONE:
        if (GetOverlappedResult(h, &ov_read, &done, FALSE)) {
          ResetEvent(events[EV_RX_DONE]);
          rx_count = done;
          rx_pending = 0;
          if (rx_count > 0)
            notify(SE_RX);
          else
            SetEvent(events[EV_RX_REQ]);  // the wait passed with nothing: read on
        } else if (GetLastError() != ERROR_IO_PENDING) {
          go = false;
        }
        break;
      case EV_RX_REQ:
        if (rx_pending) break;
        rx_pending = 1;
        if (!ReadFile(h, rx_buf, rx_chunk.load(), nullptr, &ov_read) &&
            GetLastError() != ERROR_IO_PENDING)
          go = false;
        break;
      case EV_TX_DONE:
        if (GetOverlappedResult(h, &ov_write, &done, FALSE)) {
          ResetEvent(events[EV_TX_DONE]);
          tx_busy = 0;
          notify(SE_TX_DONE);
        } else if (GetLastError() != ERROR_IO_PENDING) {
          go = false;
        }
        break;
      case EV_TX_REQ:
        if (!WriteFile(h, tx_buf, static_cast<DWORD>(tx_len), nullptr, &ov_write) &&
            GetLastError() != ERROR_IO_PENDING)
          go = false;
        break;
      case EV_EVT_DONE:
        if (GetOverlappedResult(h, &ov_event, &done, FALSE)) {
          ResetEvent(events[EV_EVT_DONE]);
          evt_pending = 0;
          modem_status(evt_mask);
          SetEvent(events[EV_EVT_REQ]);
        } else if (GetLastError() != ERROR_IO_PENDING) {
          go = false;
        }
        break;
      case EV_EVT_REQ:
        if (evt_pending || !modem_events) break;
        evt_pending = 1;
        if (!WaitCommEvent(h, &evt_mask, &ov_event) && GetLastError() != ERROR_IO_PENDING)
          go = false;
        break;
    }
  }
  running = 0;
  tx_busy = 0;  // a write that was under way when the worker ended will not complete
  HANDLE open = handle.exchange(INVALID_HANDLE_VALUE);
  if (open != INVALID_HANDLE_VALUE) CloseHandle(open);
  notify(SE_STOP);
}

unsigned serial_thread(void* arg) {
  if (arg) static_cast<Tserial_event*>(arg)->run();
  return 0;
}
