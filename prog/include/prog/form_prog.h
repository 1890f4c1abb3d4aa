// Flasket's window: the tool bar (open file, connect, disconnect, port box), the tabs of the
// boot-loader commands, the log, and the notices the serial worker thread hands to the GUI
// thread as WM_SERIAL_NOTIFY.
//
// TFormProg::list_com_ports(box) is the one COM port list routine of both programs: it needs
// only the class library and the registry, so Trakmon's modem window links the small library
// prog_com_ports and calls it with its own combo box.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "vcl/vcl.h"

class Tserial_event;

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

  explicit TFormProg(TComponent* Owner);
  ~TFormProg() override;

  // Fills `box` with the data of the registry's COM port values that begin with "COM" and
  // selects the first item (the box sorts them when it is sorted).
  static void list_com_ports(TComboBox* box);
  // The same for this window's port box.
  void list_com_ports() { list_com_ports(ComboBox1); }
};

extern TFormProg* FormProg;

// The program's one serial port, from CreateSerialPort (before the application starts) to
// DestroySerialPort (after the message loop).
extern Tserial_event* serial_port;
void CreateSerialPort();
void DestroySerialPort();
