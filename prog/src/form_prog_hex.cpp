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
  file_name = OpenDialog1->FileName;
  file_lines->Clear();
  file_lines->LoadFromFile(file_name);
  StatBar->Panels->Items[0]->Text = file_name + " -> OPEN";
  rec_count = file_lines->Count;
  Label1->Caption = "Rec Count = " + IntToStr(rec_count);
  sb_mega_format->Click();
}

int TFormProg::get_end_addr() {
  Memo1->Lines->Clear();
  const int end = hex::end_address(*file_lines);
  Label3->Caption = hex::end_label(end);
  return end;
}

void TFormProg::sb_mega_formatClick(TObject* Sender) {
  const bool bytes = cb8_16->Checked;
  hex::refuse_extended_addresses(*file_lines);
  end_addr = get_end_addr();
  image = hex::blank_image(end_addr);
  hex::copy_records(*file_lines, *image);
  show_lines(Memo1->Lines, hex::list_image(*image, end_addr, bytes));
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
