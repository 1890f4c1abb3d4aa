// The COM port list of both programs.
#include "prog/list_com_ports.h"

#include <memory>

#include "prog/form_prog.h"
#include "vcl/registry.h"
#include "vcl/stdctrls.h"

void ListComPorts(TComboBox* box) {
  box->Items->Clear();
  auto reg = std::make_unique<TRegistry>(KEY_READ);
  reg->RootKey = HKEY_LOCAL_MACHINE;
  // A missing key leaves the list empty.
  reg->OpenKey("HARDWARE\\DEVICEMAP\\SERIALCOMM", false);
  auto names = std::make_unique<TStringList>();
  reg->GetValueNames(names.get());
  for (int i = 0; i < names->Count; ++i) {
    AnsiString data = reg->ReadString(names->Strings[i]);
    if (data.SubString(1, 3) == "COM") box->Items->Add(data);
  }
  reg->CloseKey();
  box->ItemIndex = 0;
}

void TFormProg::list_com_ports(TComboBox* box) {
  ListComPorts(box);
}
