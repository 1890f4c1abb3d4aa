// Tserial_event: a COM port opened for overlapped I/O and served by one worker thread while it
// is open. Every completed step reaches the owner through one callback on the worker thread.
//
// - Reads run one after another: after each SE_RX the consumer takes the bytes and calls
//   rx_rearm(), which starts the next read. A read completes as soon as at least one byte has
//   arrived and takes every byte there by then, up to the read chunk (set_rx_chunk), so a
//   consumer with a chunk of 256 keeps up with a fast line however late the worker runs. A read
//   that has waited kReadWaitMs without a byte starts the next one by itself.
// - One write is in progress at a time; send() drops what it cannot take (busy, too long, no
//   data, port closed) without telling.
// - stop() waits at most 100 ms for the worker. A worker that outlives it (its callback is
//   waiting for the owner's thread) ends by itself; the next open() waits for it to end first,
//   so the old worker's close and SE_STOP never reach the new port, and open() fails with
//   SE_ERR_OPEN when it has not ended within kReopenWaitMs.
// - The worker's thread handle is released as soon as the worker is known to have ended.
// - Port paths up to MAX_PATH - 1 characters are kept whole; set_rx_chunk() takes 1 to 256.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/windows.h"

// The codes passed to the callback.
enum TSerialEventCode : int {
  SE_START = 0,     // the worker loop has started
  SE_STOP = 1,      // the worker loop has ended and the port is closed (its last call)
  SE_TX_DONE = 2,   // a write has completed; tx_busy is already 0
  SE_RX = 3,        // a read has completed with rx_count > 0 bytes in rx_buf
  SE_RING = 4,      // a ring event with the ring indicator on
  SE_RLSD_ON = 5,   // a carrier-detect event with the line on
  SE_RLSD_OFF = 6,  // a carrier-detect event with the line off
};

// The result of open: one code, the last failing step's.
enum TOpenResult : int {
  SE_OK = 0,
  SE_ERR_MASK = 1,
  SE_ERR_TIMEOUTS = 2,
  SE_ERR_STATE = 4,
  SE_ERR_OPEN = 8,
  SE_ERR_NAME = 16,
  SE_ERR_EVENT = 32,
};

class Tserial_event {
 public:
  using Callback = void (*)(Tserial_event* port, int code);

  // How long open() and the destructor wait for a worker that stop() left running.
  static constexpr DWORD kReopenWaitMs = 1000;
  // How long one read waits for its first byte before the next read takes over.
  static constexpr DWORD kReadWaitMs = 60000;

  Tserial_event();
  ~Tserial_event();
  Tserial_event(const Tserial_event&) = delete;
  Tserial_event& operator=(const Tserial_event&) = delete;

  TOpenResult open(const char* path, unsigned baud, int parity, unsigned char byte_size,
                   unsigned char modem_events);
  void stop();
  void set_callback(Callback fn) { callback = fn; }
  void set_rx_chunk(int n);
  unsigned char* rx_data() { return rx_buf; }
  void rx_rearm();
  void send(const void* data, unsigned len);

  // State the owner may look at.
  bool is_running() const { return running.load() != 0; }
  // No write in progress.
  bool tx_idle() const { return tx_busy.load() == 0; }
  unsigned received_count() const { return rx_count; }
  unsigned chunk() const { return rx_chunk.load(); }
  const char* path() const { return port_name; }
  // The error CreateFileA left when the last open() failed to open the device; 0 when it opened
  // (or failed at a later step).
  DWORD open_error() const { return open_error_; }

  void run();  // the worker thread's body

 private:
  enum { EV_QUIT, EV_RX_DONE, EV_RX_REQ, EV_TX_DONE, EV_TX_REQ, EV_EVT_DONE, EV_EVT_REQ, EV_COUNT };

  void modem_status(DWORD mask);
  void notify(int code) {
    if (Callback fn = callback.load()) fn(this, code);
  }
  // Waits up to `ms` for the worker thread held in `thread`; releases its handle when it ended.
  bool reap_thread(DWORD ms);

  std::atomic<std::uint8_t> running{0};
  std::uint8_t modem_events = 0;
  char port_name[MAX_PATH] = {};
  DWORD open_error_ = 0;
  unsigned baud = 0;
  int parity = 0;
  HANDLE events[EV_COUNT];
  unsigned thread_id = 0;
  std::atomic<HANDLE> handle{INVALID_HANDLE_VALUE};
  HANDLE thread = nullptr;
  OVERLAPPED ov_read{};
  OVERLAPPED ov_write{};
  OVERLAPPED ov_event{};
  std::atomic<std::uint8_t> tx_busy{0};
  std::uint8_t rx_pending = 0;
  std::uint8_t evt_pending = 0;
  unsigned char rx_buf[257] = {};
  std::atomic<unsigned> rx_chunk{1};
  unsigned rx_count = 0;
  unsigned char tx_buf[512] = {};
  int tx_len = 0;
  DWORD evt_mask = 0;
  std::atomic<Callback> callback{nullptr};
};

// The worker thread's entry: runs `arg`'s loop; a null argument returns at once.
unsigned serial_thread(void* arg);
