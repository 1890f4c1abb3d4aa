// Trakmon's modem console window: the screen of a GSM modem and SMS console with a phone book.
// Created hidden at start-up, it removes a notification-area icon, lists the machine's COM
// ports and fills its name and number boxes from the phone-book editor's list. It opens no
// port and sends nothing: the preset AT and SMS texts and most of its controls carry no
// behaviour. The phone book "phone.txt" lives in the working folder that its creator gives it.
#pragma once

#include <functional>

#include "vcl/vcl.h"

class TFormMsg : public TForm {
 public:
  VCL_FORM(TFormMsg)

  // ---- Tool bar, menu, dialogs, timer ----
  VCL_FIELD(TToolBar, ToolBar1);
  VCL_FIELDS(TSpeedButton, SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4);
  VCL_FIELD(TComboBox, ComboBox1);
  VCL_FIELD(TMainMenu, MainMenu1);
  VCL_FIELDS(TMenuItem, N1, restart_comm_port, N2, N3, N4, load_box, edit_ph_box, N5, N6, N7);
  VCL_FIELD(TOpenDialog, OpenDialog1);
  VCL_FIELD(TSaveDialog, SaveDialog1);
  VCL_FIELD(TTimer, Timer1);

  // ---- "Номер АБОНЕНТА" ----
  VCL_FIELD(TGroupBox, GroupBox1);
  VCL_FIELDS(TComboBox, cb_name_user, CBNamber, cb_sms);
  VCL_FIELDS(TSpeedButton, SpeedButton5, SpeedButton6, SpeedButton7);
  VCL_FIELDS(TLabel, Label13, Label14, Label15);

  // ---- Phone-book editor ----
  VCL_FIELD(TGroupBox, phone_box);
  VCL_FIELD(TComboBox, name_phone);
  VCL_FIELDS(TEdit, EditName, EditPhone);
  VCL_FIELDS(TButton, Button1, Button2, Button3, Button4, Button5);

  // ---- Console panel (hidden) ----
  VCL_FIELD(TPanel, Panel1);
  VCL_FIELD(TMemo, Memo1);
  VCL_FIELD(TComboBox, cb_at_cmd_);
  VCL_FIELD(TEdit, Edit1);
  VCL_FIELDS(TButton, Button6, Button7, Button8, Button9);
  VCL_FIELD(TPopupMenu, PopupMenu2);
  VCL_FIELDS(TMenuItem, N15, N16);

  // ---- Status and label panels, messages ----
  VCL_FIELDS(TPanel, Panel2, Panel3);
  VCL_FIELD(TImage, Image1);
  VCL_FIELDS(TLabel, Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label9, Label10,
             Label11, Label12, Label18, Label19, Label21, Label22);
  VCL_FIELDS(TProgressBar, Pbar1, prog_dial);
  VCL_FIELD(TEdit, FulSms);
  VCL_FIELD(TStringGrid, str_grid);
  VCL_FIELD(TPopupMenu, PopupMenu1);
  VCL_FIELDS(TMenuItem, N8, N9, N10, N11, N12, N13, N14);

  // ---- Handlers ----
  void FormCreate(TObject* Sender);
  void restart_comm_portClick(TObject* Sender);
  void load_boxClick(TObject* Sender);
  void edit_ph_boxClick(TObject* Sender);
  VCL_HANDLERS(FormCreate, restart_comm_portClick, load_boxClick, edit_ph_boxClick);

  explicit TFormMsg(TComponent* Owner);

  // The working folder (ending in a separator), asked at each use of the phone book: Trakmon
  // gives the main window's. Unset, the book is "phone.txt" in the current directory.
  std::function<AnsiString()> WorkFolder = [] { return AnsiString(); };

  // Rebuilds cb_name_user and CBNamber from the first `count` lines of name_phone: entry i of
  // both comes from line i.
  void FillPhoneCombos(int count);
};

extern TFormMsg* FormMsg;
