// The firmware file on the window: opening it, the memory image and the four listings.
#include "prog/form_prog.h"
#include "prog/hex_image.h"

namespace {

void show_lines(TStrings* log, const std::vector<AnsiString>& lines) {
  log->BeginUpdate();
  for (const AnsiString& line : lines) log->Add(line);
  log->EndUpdate();
}

}  // namespace

void TFormProg::sb_open_filesClick(TObject* Sender) {
  if (!OpenDialog1->Execute()) {
    ShowMessage("File Not  Open");
    Abort();
  }
  // Read whole into fresh objects first: a file that fails leaves nothing loaded, not a mix of
  // the old image and the new name.
  const AnsiString chosen = OpenDialog1->FileName;
  TStringList lines;
  try {
    lines.LoadFromFile(chosen);
  } catch (const Exception&) {
    unload_firmware();
    throw;  // the default display names the file
  }
  hex::Firmware firmware = read_or_refuse(lines);
  try {
    install_file(chosen, lines);
    install_image(firmware);
  } catch (...) {
    unload_firmware();  // never half a firmware
    throw;
  }
}

void TFormProg::sb_mega_formatClick(TObject* Sender) {
  hex::Firmware firmware = read_or_refuse(*file_lines);
  try {
    install_image(firmware);
  } catch (...) {
    unload_firmware();
    throw;
  }
}

hex::Firmware TFormProg::read_or_refuse(const TStrings& lines) {
  AnsiString why;
  try {
    return hex::read_firmware(lines);
  } catch (const EHexFile& refused) {
    why = refused.Message;  // the line and why
  } catch (...) {
    why = "Firmware Not Loaded...";  // no line to name (the memory ran out)
  }
  unload_firmware();
  ShowMessage(why);
  Abort();
}

void TFormProg::install_file(const AnsiString& name, const TStrings& lines) {
  end_write_of_replaced_firmware();
  file_lines->Assign(&lines);
  file_name = name;
  StatBar->Panels->Items[0]->Text = file_name + " -> OPEN";
  rec_count = file_lines->Count;
  Label1->Caption = "Rec Count = " + IntToStr(rec_count);
}

void TFormProg::install_image(hex::Firmware& firmware) {
  end_addr = firmware.end_addr;
  image = std::move(firmware.image);
  Label3->Caption = hex::end_label(end_addr);
  Memo1->Lines->Clear();
  show_lines(Memo1->Lines, hex::list_image(*image, end_addr, cb8_16->Checked));
}

void TFormProg::unload_firmware() {
  end_write_of_replaced_firmware();
  file_lines->Clear();
  file_name = "";
  StatBar->Panels->Items[0]->Text = "";
  rec_count = 0;
  end_addr = 0;
  image.reset();
  Label1->Caption = "";
  Label3->Caption = "";
  Memo1->Lines->Clear();
}

void TFormProg::sb_hexClick(TObject* Sender) {
  Memo1->Lines->Clear();
  Memo1->Lines->BeginUpdate();
  for (int i = 0; i < file_lines->Count; ++i) Memo1->Lines->Add(file_lines->Strings[i]);
  Memo1->Lines->EndUpdate();
}

void TFormProg::sb_hex_formatClick(TObject* Sender) {
  Memo1->Lines->Clear();
  int end = -1;
  std::vector<AnsiString> lines = hex::list_fields(*file_lines, end);
  show_lines(Memo1->Lines, lines);
  if (end >= 0) Label3->Caption = hex::end_label(end);
}

void TFormProg::sb_test_datClick(TObject* Sender) {
  Memo1->Lines->Clear();
  if (!image) return;  // nothing built yet
  show_lines(Memo1->Lines, hex::list_groups(*image, end_addr, cb8_16->Checked));
  Label3->Caption = hex::end_label(end_addr);
}
