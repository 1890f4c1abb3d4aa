// Flasket's window: the tool bar (open file, connect, disconnect, port box), the tabs of the
// boot-loader commands, the log, and the notices the serial worker thread hands to the GUI
// thread as WM_SERIAL_NOTIFY.
//
// TFormProg::list_com_ports(box) forwards to ListComPorts (prog/list_com_ports.h), the one COM
// port list routine of both programs, which Trakmon's modem window calls with its own combo box.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "vcl/vcl.h"

class Tserial_event;
namespace hex {
struct Firmware;
}

// Window message from the worker thread to the window (lParam: a TNotifyCode).
constexpr UINT WM_SERIAL_NOTIFY = WM_USER + 2;

enum TLoaderMode : int {
  MODE_IDLE = 0,
  MODE_BLOCK = 1,
  MODE_WAIT_TX = 2,
  MODE_CLR_ADDR = 3,
  MODE_DUMP = 1006,
  MODE_READ_LOCK = 1007,
};

enum TNotifyCode : int {
  SN_BLOCK_ACK = 1000,
  SN_TX_BEEP = 1003,
  SN_FIRST_BLOCK = 1004,
  SN_ADDR_CLEARED = 1005,
  SN_DUMP_LINE = 1006,
  SN_LOCK_LINE = 1007,
  SN_PORT_LOST = 1008,  // the worker ended by itself: the device has gone
};

class TFormProg : public TForm {
 public:
  VCL_FORM(TFormProg)

  // ---- Tool bar ----
  VCL_FIELD(TToolBar, ToolBar1);
  VCL_FIELDS(TSpeedButton, sb_open_files, sb_connect, sb_disconnect, sb_start_ld);
  VCL_FIELDS(TToolButton, ToolButton2, ToolButton1);
  VCL_FIELD(TPanel, Panel3);
  VCL_FIELD(TComboBox, ComboBox1);

  // ---- Left panel and its tabs ----
  VCL_FIELD(TPanel, Panel2);
  VCL_FIELD(TProgressBar, prog_b1);
  VCL_FIELDS(TLabel, Label4, Label11);
  VCL_FIELD(TPageControl, PageControl1);
  VCL_FIELDS(TTabSheet, TabSheet1, TabSheet2, TabSheet3, TabSheet4);
  VCL_FIELDS(TLabel, Label5, Label6, Label7, Label8, Label9, Label10);
  VCL_FIELDS(TEdit, ed_start, ed_stop, ed_fs, ed_lk);
  VCL_FIELDS(TSpeedButton, sb_dump, sb_clr_addr, sb_write_all, sb_jmp_0000, SpeedButton1,
             sb_read_lock, wr_lock, sb_test_dat, sb_test_wr);
  VCL_FIELD(TBevel, Bevel1);

  // ---- Right panel: file figures and the listing formats ----
  VCL_FIELD(TPanel, Panel4);
  VCL_FIELDS(TLabel, Label1, Label2, Label3);
  VCL_FIELD(TGroupBox, GroupBox1);
  VCL_FIELDS(TSpeedButton, sb_hex, sb_hex_format, sb_mega_format);
  VCL_FIELD(TCheckBox, cb8_16);

  // ---- Log and status bar ----
  VCL_FIELD(TPanel, Panel1);
  VCL_FIELD(TRichEdit, Memo1);
  VCL_FIELD(TSpeedButton, sb_clr_memo);
  VCL_FIELD(TStatusBar, StatBar);
  VCL_FIELD(TOpenDialog, OpenDialog1);

  // ---- Window, port and log ----
  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void sb_connectClick(TObject* Sender);
  void sb_disconnectClick(TObject* Sender);
  void sb_clr_memoClick(TObject* Sender);
  void ToolButton1Click(TObject* Sender);
  VCL_HANDLERS(FormCreate, FormCloseQuery, FormClose, sb_connectClick, sb_disconnectClick,
               sb_clr_memoClick, ToolButton1Click);

  // ---- Firmware file, image and its listings ----
  void sb_open_filesClick(TObject* Sender);
  void sb_mega_formatClick(TObject* Sender);
  void sb_hexClick(TObject* Sender);
  void sb_hex_formatClick(TObject* Sender);
  void sb_test_datClick(TObject* Sender);
  VCL_HANDLERS(sb_open_filesClick, sb_mega_formatClick, sb_hexClick, sb_hex_formatClick,
               sb_test_datClick);

  // ---- Boot-loader commands ----
  void sb_clr_addrClick(TObject* Sender);
  void sb_write_allClick(TObject* Sender);
  void sb_dumpClick(TObject* Sender);
  void sb_test_wrClick(TObject* Sender);
  void sb_read_lockClick(TObject* Sender);
  void wr_lockClick(TObject* Sender);
  void sb_jmp_0000Click(TObject* Sender);
  void sb_start_ldClick(TObject* Sender);
  VCL_HANDLERS(sb_clr_addrClick, sb_write_allClick, sb_dumpClick, sb_test_wrClick,
               sb_read_lockClick, wr_lockClick, sb_jmp_0000Click, sb_start_ldClick);

  explicit TFormProg(TComponent* Owner);
  ~TFormProg() override;

  // Fills `box` with the data of the registry's COM port values that begin with "COM" and
  // selects the first item (the box sorts them when it is sorted).
  static void list_com_ports(TComboBox* box);
  // The same for this window's port box.
  void list_com_ports() { list_com_ports(ComboBox1); }

  void add_memo_line(const AnsiString& text);
  void close_port();

  // The serial port's callback (worker thread): assembles reply lines and hands the completed
  // steps to the window. The worker touches no control.
  static void on_serial_event(Tserial_event* port, int code);
  void wm_serial_notify(TMessage& message);
  BEGIN_MESSAGE_MAP
  VCL_MESSAGE_HANDLER(WM_SERIAL_NOTIFY, TMessage, wm_serial_notify)
  END_MESSAGE_MAP(TForm)

  static void make_crc_table();
  static std::uint16_t crc16(const unsigned char* data, int len);
  void send_cmd(const AnsiString& text);
  int send_block(int pos);
  void next_block();
  static void clear_rx_line();

  // How long the write chain waits for the boot loader's answer to each of its steps.
  static constexpr DWORD kReplyLimitMs = 3000;
  // How long "JMP 0000" waits for its text to leave the port before it closes it.
  static constexpr DWORD kJumpWriteLimitMs = 500;
  // How long a text or a block waits for the write before it to complete: the port takes one
  // write at a time, and on a busy machine the worker may take its time to finish the last.
  static constexpr DWORD kWriteLimitMs = 1000;
  // What a device command or a second "Write All" pressed during a write is told.
  static constexpr const char* kWriteInProgress = "Write In Progress... Wait For Its End";

  std::optional<std::string> image;  // the memory image as hexadecimal text
  TStringList* file_lines = nullptr;
  AnsiString file_name;
  int connected = 0;
  int rec_count = 0;
  int end_addr = 0;
  std::atomic<int> mode{MODE_IDLE};  // written by the GUI thread, read by the worker
  int block_pos = 0;
  std::int64_t dump_start = 0;  // wide enough for any address typed
  std::int64_t dump_stop = 0;
  std::int64_t dump_len = 0;
  std::uint32_t dump_addr = 0;
  std::uint32_t lock_val[4] = {};

 private:
  // A step the worker thread hands over, with its own copy of the line it concerns (logged
  // before the step is handled when `log`).
  struct Notice {
    WPARAM id;
    int code;
    bool log;
    std::string line;
  };
  void set_mode(int value);
  // Waits at most `limit_ms` until no write is in progress; false when one still is.
  bool wait_write_done(DWORD limit_ms);
  // Worker thread: queues the notice and posts WM_SERIAL_NOTIFY with its id as wParam.
  void hand_over(int code, const char* line, bool log);
  // Worker thread, with the reply line held: hands a finished line over as the mode says.
  void take_line();
  // While a write runs, a device command is refused with a message and the write goes on.
  void refuse_while_writing();
  std::optional<Notice> take_notice(WPARAM id);
  void start_step_deadline();
  void reply_deadline(TObject* Sender);
  // The block of the write whose answer is awaited: the first one not known to be written.
  int unconfirmed_block() const;
  // Ends the write chain without success: shows `why` (when given) with the blocks that failed
  // and the blocks from `first_unwritten` on that were not written, and logs it. No beep.
  void fail_write(const AnsiString& why, int first_unwritten);
  // The device went away under an open port: the window closes its side too.
  void port_lost();
  // Closes the port; a write under way ends as failed, `why` before its end. True when one did.
  bool close_port_ending_write(const AnsiString& why);

  // The loaded firmware changes only as a whole: lines, name, record count, end address, image.
  // A file refused leaves nothing loaded and its message (the line and why) is shown.
  hex::Firmware read_or_refuse(const TStrings& lines);
  void install_file(const AnsiString& name, const TStrings& lines);
  void install_image(hex::Firmware& firmware);
  void unload_firmware();
  // A write under way of a firmware that is being replaced ends, unfinished.
  void end_write_of_replaced_firmware();

  HWND window_ = nullptr;  // created on the GUI thread by the constructor
  std::mutex notices_mutex_;
  std::deque<Notice> notices_;
  WPARAM next_notice_ = 1;
  TTimer* reply_timer_ = nullptr;
  DWORD step_started_ = 0;
  int answered_blocks_ = 0;         // the blocks of this write whose answer has been taken
  std::vector<int> crc_failed_;     // the blocks of this write whose CRC did not match
  std::vector<int> not_confirmed_;  // ... whose answer named another block or none
};

extern TFormProg* FormProg;

// The program's one serial port, from CreateSerialPort (before the application starts) to
// DestroySerialPort (after the message loop).
extern Tserial_event* serial_port;
void CreateSerialPort();
void DestroySerialPort();
