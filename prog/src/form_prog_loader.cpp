// The boot-loader protocol on the window: the command buttons, the reply lines assembled on the
// worker thread, the notices handed to the GUI thread, and the write chain with its CRC checks.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "prog/boot_protocol.h"
#include "prog/form_prog.h"
#include "serial_event/serial_event.h"

namespace {

std::uint16_t crc_table[256];
std::uint16_t last_block_crc = 0;

// The reply line; stored into by the worker thread, cleared by both threads.
std::mutex rx_line_mutex;
boot::ReplyLine rx_line;

bool in_write_chain(int mode) {
  return mode == MODE_CLR_ADDR || mode == MODE_WAIT_TX || mode == MODE_BLOCK;
}

// The dump reads 16-bit addresses.
constexpr std::int64_t kHighestAddress = 0xFFFF;

// An address typed in hexadecimal, as the number it is: "0x" + up to eight digits converts to
// 32 bits (StrToInt wraps those above 7FFFFFFF to negative numbers, undone here).
std::int64_t read_address(const AnsiString& text) {
  return static_cast<std::uint32_t>(StrToInt("0x" + text));
}

}  // namespace

void TFormProg::make_crc_table() {
  boot::make_crc_table(crc_table);
}

std::uint16_t TFormProg::crc16(const unsigned char* data, int len) {
  return boot::crc16(crc_table, data, len);
}

void TFormProg::clear_rx_line() {
  std::lock_guard lock(rx_line_mutex);
  rx_line.clear();
}

void TFormProg::set_mode(int value) {
  mode = value;
  Label11->Caption = "Mode = " + IntToStr(value);
  if (in_write_chain(value))
    start_step_deadline();
  else
    reply_timer_->Enabled = false;
}

// ---- Worker thread ----

void TFormProg::hand_over(int code, const char* line, bool log) {
  WPARAM id;
  {
    std::lock_guard lock(notices_mutex_);
    id = next_notice_++;
    notices_.push_back({id, code, log, line ? line : ""});
  }
  PostMessageA(window_, WM_SERIAL_NOTIFY, id, code);
}

void TFormProg::on_serial_event(Tserial_event* port, int code) {
  TFormProg* form = FormProg;
  if (!port || !form) return;
  switch (code) {
    case SE_START:
      Beep(1000, 50);
      break;
    case SE_TX_DONE:
      if (form->mode == MODE_IDLE)
        SendMessageA(form->window_, WM_SERIAL_NOTIFY, 0, SN_TX_BEEP);
      else if (form->mode == MODE_WAIT_TX)
        form->hand_over(SN_FIRST_BLOCK, nullptr, false);
      break;
    case SE_STOP:
      // After stop() the window has closed its side already and lets this pass.
      form->hand_over(SN_PORT_LOST, nullptr, false);
      break;
    case SE_RX: {
      // Every byte that has arrived comes in one read: the line is assembled byte by byte, and
      // each finished line is taken under the mode of its moment.
      const unsigned char* bytes = port->rx_data();
      const unsigned count = port->received_count();
      {
        std::lock_guard lock(rx_line_mutex);
        for (unsigned i = 0; i < count; ++i)
          if (rx_line.store(static_cast<char>(bytes[i]))) form->take_line();
      }
      port->rx_rearm();
      break;
    }
    default:
      break;
  }
}

void TFormProg::take_line() {
  const char* text = rx_line.text();
  switch (mode.load()) {
    case MODE_IDLE:
      hand_over(0, text, true);
      rx_line.clear();
      break;
    case MODE_CLR_ADDR:
      hand_over(SN_ADDR_CLEARED, text, true);
      rx_line.clear();
      break;
    case MODE_BLOCK:
      // Without the mark the line stays, and the next one is appended to it.
      if (std::strstr(text, boot::kAckMark)) {
        hand_over(SN_BLOCK_ACK, text, true);
        rx_line.clear();
      }
      break;
    case MODE_DUMP:
      hand_over(SN_DUMP_LINE, text, true);
      rx_line.clear();
      break;
    case MODE_READ_LOCK:
      hand_over(SN_LOCK_LINE, text, false);
      rx_line.clear();
      break;
    default:  // MODE_WAIT_TX: the bytes stay in the buffer
      break;
  }
}

// ---- GUI thread ----

std::optional<TFormProg::Notice> TFormProg::take_notice(WPARAM id) {
  if (id == 0) return std::nullopt;
  std::lock_guard lock(notices_mutex_);
  while (!notices_.empty() && notices_.front().id <= id) {
    Notice n = std::move(notices_.front());
    notices_.pop_front();
    if (n.id == id) return n;
  }
  return std::nullopt;
}

void TFormProg::wm_serial_notify(TMessage& message) {
  message.Result = 0;
  std::optional<Notice> notice = take_notice(message.WParam);
  const std::string line = notice ? notice->line : std::string();
  if (notice && notice->log) add_memo_line(line);
  switch (message.LParam) {
    case SN_BLOCK_ACK: {
      // Each step of the chain acts only while the chain waits for it: an answer that comes
      // after the chain gave up starts nothing.
      if (mode != MODE_BLOCK) break;
      const int sent = unconfirmed_block();
      const boot::BlockAck ack = boot::read_block_ack(line.c_str());
      // The first answer for the block just sent counts. One more for a block already answered
      // (a device that repeats itself, or this block while its box is open) confirms nothing
      // and moves nothing on.
      if (sent < answered_blocks_ || (ack.block >= 0 && ack.block < sent)) break;
      answered_blocks_ = sent + 1;
      AnsiString failure;
      if (ack.block != sent) {
        not_confirmed_.push_back(sent);
        failure = "Block " + IntToStr(sent) + " Not Confirmed: Answer " +
                  (ack.label.IsEmpty() ? AnsiString("Without Block Number...")
                                       : "For Block " + ack.label + "...");
      } else if (!ack.has_crc || ack.crc != last_block_crc) {
        crc_failed_.push_back(sent);
        failure = "CRT Error in " + ack.label + " Block...";
      }
      if (!failure.IsEmpty()) {
        reply_timer_->Enabled = false;  // the user reads the box; next_block starts it again
        ShowMessage(failure);
        if (mode != MODE_BLOCK) break;  // the chain ended while the box was open
      }
      next_block();
      block_pos += 512;
      break;
    }
    case SN_TX_BEEP:
      Beep(1000, 100);
      break;
    case SN_FIRST_BLOCK:
      if (mode != MODE_WAIT_TX) break;
      Sleep(100);
      set_mode(MODE_BLOCK);
      send_block(0);
      block_pos += 512;
      add_memo_line("Send  BL 0");
      break;
    case SN_ADDR_CLEARED:
      if (mode != MODE_CLR_ADDR) break;
      Sleep(100);
      set_mode(MODE_WAIT_TX);
      send_cmd(boot::write_block_cmd(0));
      block_pos = 0;
      prog_b1->Position = 0;
      prog_b1->Max = end_addr / 256 + 1;
      break;
    case SN_DUMP_LINE: {
      boot::read_dump_address(line.c_str(), dump_addr);
      Label4->Caption = "Address = " + IntToHex(static_cast<int>(dump_addr), 6);
      // The device's address may lie anywhere: the bar stays within the dump.
      const std::int64_t done = static_cast<std::int64_t>(dump_addr) - dump_start;
      prog_b1->Position = static_cast<int>(std::clamp<std::int64_t>(done, 0, dump_len));
      break;
    }
    case SN_LOCK_LINE:
      if (boot::read_lock_line(line.c_str(), lock_val)) {
        ed_fs->Text = boot::fuses_text(lock_val);
        ed_lk->Text = boot::lock_text(lock_val);
      }
      break;
    case SN_PORT_LOST:
      // Only a worker that ended by itself under an open port: not one that stop() ended, nor
      // an earlier port's after a new connect.
      if (connected == 1 && !serial_port->is_running()) port_lost();
      break;
    default:
      break;
  }
}

void TFormProg::port_lost() {
  const AnsiString text = "Device Disconnected... " + ComboBox1->Text();
  if (!close_port_ending_write(text)) ShowMessage(text);
}

bool TFormProg::close_port_ending_write(const AnsiString& why) {
  const bool writing = in_write_chain(mode);
  const int first = unconfirmed_block();
  close_port();
  if (writing) fail_write(why, first);
  return writing;
}

bool TFormProg::wait_write_done(DWORD limit_ms) {
  const DWORD started = GetTickCount();
  while (!serial_port->tx_idle()) {
    if (GetTickCount() - started >= limit_ms) return false;
    Sleep(1);
  }
  return true;
}

void TFormProg::send_cmd(const AnsiString& text) {
  AnsiString out = text + "\r";
  wait_write_done(kWriteLimitMs);
  serial_port->send(out.c_str(), static_cast<unsigned>(out.Length()));
}

int TFormProg::send_block(int pos) {
  unsigned char bytes[256];
  boot::block_bytes(image ? *image : std::string(), pos, bytes);
  last_block_crc = crc16(bytes, 256);
  add_memo_line("CRT = " + IntToHex(last_block_crc, 4));
  wait_write_done(kWriteLimitMs);
  serial_port->send(bytes, 256);
  start_step_deadline();
  return pos + 512;
}

void TFormProg::next_block() {
  set_mode(MODE_BLOCK);
  const int count = end_addr / 256 + 1;
  const int index = block_pos / 512;
  prog_b1->Position = index;
  Label4->Caption = "Block = " + IntToStr(index);
  if (index < count) {
    send_cmd(boot::write_block_cmd(index));
    Sleep(100);
    int p = send_block(block_pos);
    Label2->Caption = "J=" + IntToHex(p / 2, 4);
  } else {
    Label4->Caption = "Block = " + IntToStr(index);
    if (!crc_failed_.empty() || !not_confirmed_.empty()) {
      fail_write("", count);
      return;
    }
    set_mode(MODE_IDLE);
    Beep(1000, 200);
  }
}

int TFormProg::unconfirmed_block() const {
  // In MODE_BLOCK block_pos is already past the block sent last; before it nothing was sent.
  return mode == MODE_BLOCK ? std::max(0, block_pos / 512 - 1) : 0;
}

void TFormProg::fail_write(const AnsiString& why, int first_unwritten) {
  const int count = end_addr / 256 + 1;
  set_mode(MODE_IDLE);
  const AnsiString text =
      boot::write_failed_text(crc_failed_, not_confirmed_, std::min(first_unwritten, count), count);
  add_memo_line(text);
  ShowMessage(why.IsEmpty() ? text : why + "\n" + text);
}

void TFormProg::end_write_of_replaced_firmware() {
  if (in_write_chain(mode)) fail_write("", unconfirmed_block());
}

// The boot loader did not answer a step of the write chain in time: the write is given up.
void TFormProg::start_step_deadline() {
  step_started_ = GetTickCount();
  reply_timer_->Enabled = true;
}

void TFormProg::reply_deadline(TObject* Sender) {
  if (!in_write_chain(mode)) {
    reply_timer_->Enabled = false;
    return;
  }
  if (GetTickCount() - step_started_ < kReplyLimitMs) return;
  fail_write("No Answer From Boot Loader...", unconfirmed_block());
}

// ---- Command buttons ----

void TFormProg::refuse_while_writing() {
  if (!in_write_chain(mode)) return;
  ShowMessage(kWriteInProgress);
  Abort();
}

void TFormProg::sb_clr_addrClick(TObject* Sender) {
  refuse_while_writing();
  Memo1->Lines->Clear();
  set_mode(MODE_IDLE);
  clear_rx_line();
  send_cmd(boot::kClrAddr);
  Sleep(100);
  block_pos = 0;
}

void TFormProg::sb_write_allClick(TObject* Sender) {
  refuse_while_writing();
  Memo1->Lines->Clear();
  clear_rx_line();
  if (file_lines->Count == 0 || !image) {
    ShowMessage("No Output File...");
    Abort();
  }
  if (connected == 0) {
    ShowMessage("Port Not Connected...");
    Abort();
  }
  block_pos = 0;
  answered_blocks_ = 0;
  crc_failed_.clear();
  not_confirmed_.clear();
  set_mode(MODE_CLR_ADDR);
  send_cmd(boot::kClrAddr);
}

void TFormProg::sb_dumpClick(TObject* Sender) {
  refuse_while_writing();
  const AnsiString start = ed_start->Text().Trim();
  const AnsiString stop = ed_stop->Text().Trim();
  try {
    dump_start = read_address(start);
    dump_stop = read_address(stop);
  } catch (EConvertError&) {
    ShowMessage("Error Input Address...");
    Abort();
  }
  if (dump_start > kHighestAddress || dump_stop > kHighestAddress) {
    ShowMessage("Address Above FFFF...");
    Abort();
  }
  Memo1->Lines->Clear();
  dump_len = dump_stop - dump_start;
  if (dump_len <= 0) {
    ShowMessage("End Address <= Start Address...");
    Abort();
  }
  prog_b1->Position = 0;
  prog_b1->Max = static_cast<int>(dump_len);
  clear_rx_line();
  set_mode(MODE_DUMP);
  send_cmd(boot::dump_cmd(start, stop));
}

void TFormProg::sb_test_wrClick(TObject* Sender) {
  refuse_while_writing();
  clear_rx_line();
  set_mode(MODE_IDLE);
  send_cmd(boot::kTest);
}

void TFormProg::sb_read_lockClick(TObject* Sender) {
  refuse_while_writing();
  clear_rx_line();
  set_mode(MODE_READ_LOCK);
  send_cmd(boot::kReadLock);
}

void TFormProg::wr_lockClick(TObject* Sender) {
  refuse_while_writing();
  Memo1->Lines->Clear();
  set_mode(MODE_IDLE);
  clear_rx_line();
  int value = -1;  // a text that is no number is no lock byte either
  try {
    value = StrToInt(ed_lk->Text);
  } catch (EConvertError&) {
  }
  if (value < 0 || value > 0xFF) {
    ShowMessage("Invali Lock Byte...");
    Abort();
  }
  send_cmd(boot::lock_write_cmd(value));
  Sleep(100);
}

void TFormProg::sb_jmp_0000Click(TObject* Sender) {
  refuse_while_writing();
  Memo1->Lines->Clear();
  set_mode(MODE_IDLE);
  send_cmd(boot::kJmp0000);
  // The port closes once the text has left it (or the write has had its time).
  wait_write_done(kJumpWriteLimitMs);
  close_port();
  Close();
}

void TFormProg::sb_start_ldClick(TObject* Sender) {
  refuse_while_writing();
  send_cmd(boot::kStart);
}
