// The modem console window: creation, the port list, the phone book and its two combo boxes.
#include "sms_modul/sms_modul.h"

#include <cstring>

#include "platform/windows.h"
#include "prog/list_com_ports.h"
#include "sms_modul/phone_book.h"

TFormMsg* FormMsg = nullptr;

TFormMsg::TFormMsg(TComponent* Owner) : TForm(Owner) {}

void TFormMsg::FormCreate(TObject* Sender) {
  // The window never adds an icon to the notification area; it removes one of its identifier.
  NOTIFYICONDATAA icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = Handle;
  icon.uID = 1;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_USER + 1;
  icon.hIcon = Icon->Handle;
  std::strncpy(icon.szTip, "Alarm", sizeof icon.szTip - 1);
  Shell_NotifyIconA(NIM_DELETE, &icon);

  ListComPorts(ComboBox1);

  Label11->Caption = "";
  Label9->Caption = "";
  Label1->Caption = "";
  Label2->Caption = "";
  Label3->Caption = "";
  Label4->Caption = "";
  Label5->Caption = "";
  Label6->Caption = "";
  Label7->Caption = "";
  load_boxClick(this);
  Label10->Caption = "";
  Label12->Caption = "";
  Label7->Caption = "";
  Pbar1->Position = 0;
  Label18->Caption = "";
  Label19->Caption = "";
  Label22->Caption = "";
}

void TFormMsg::restart_comm_portClick(TObject* Sender) {
  ListComPorts(ComboBox1);
}

// Rebuilds the name and number boxes from the editor's list as it is; the file is read only by
// "Редактировать".
void TFormMsg::load_boxClick(TObject* Sender) {
  name_phone->ItemIndex = 0;
  FillPhoneCombos(name_phone->Items->Count);
}

void TFormMsg::edit_ph_boxClick(TObject* Sender) {
  if (!phone_box->Visible) {
    phone_box->Visible = true;
    phone_box->BringToFront();
  } else {
    phone_box->Visible = false;
    phone_box->SendToBack();
  }
  // A missing book is written from the list instead (empty the first time); a failing write
  // ends the handler with the class library's error. A book that is there but cannot be read
  // (no right to read it) is the user's: it is reported and left as it is, and so are the boxes.
  AnsiString path = WorkFolder() + "phone.txt";
  try {
    name_phone->Items->LoadFromFile(path);
  } catch (const Exception&) {
    if (FileExists(path)) {
      ShowMessage("Не удалось прочитать телефонную книжку " + path + ".\nФайл не изменен.");
      Abort();
    }
    name_phone->Items->SaveToFile(path);
  }
  name_phone->ItemIndex = 0;
  FillPhoneCombos(name_phone->Items->Count);
}

void TFormMsg::FillPhoneCombos(int count) {
  cb_name_user->Clear();
  CBNamber->Clear();
  cb_name_user->ItemIndex = 0;
  CBNamber->ItemIndex = 0;
  name_phone->ItemIndex = 0;
  for (int i = 0; i < count; ++i) {
    PhoneBookEntry entry = ParsePhoneBookLine(name_phone->Text);
    cb_name_user->Items->Add(entry.Name);
    CBNamber->Items->Add(entry.Number);
    name_phone->ItemIndex = name_phone->ItemIndex + 1;
  }
  name_phone->ItemIndex = 0;
  cb_name_user->ItemIndex = 0;
  CBNamber->ItemIndex = 0;
}
