#include "demo_form.h"

TDemoForm* DemoForm = nullptr;

TDemoForm::TDemoForm(TComponent* Owner) : TForm(Owner) {
  ControlsAtConstruction = ComponentCount;
  // The fields point to their controls here already.
  LabelResult->Caption = "";
  Log.push_back("constructor");
}

void TDemoForm::FormCreate(TObject*) {
  Log.push_back("FormCreate");
  StatusBar1->Panels->Items[1]->Text = "Создана";
  for (int row = 1; row < StringGrid1->RowCount; ++row) {
    StringGrid1->Cells[0][row] = IntToStr(row);
    StringGrid1->Cells[1][row] = IntToStr(row * 10);
  }
  StringGrid1->Cells[1][0] = "Вход";
  StringGrid1->Cells[2][0] = "Выход";
  RichEdit1->Lines->Add("00000 FF FF 0C 94");
}

void TDemoForm::FormCloseQuery(TObject*, bool& CanClose) {
  Log.push_back("FormCloseQuery");
  if (RefuseClose) CanClose = false;
}

void TDemoForm::FormClose(TObject*, TCloseAction&) {
  Log.push_back("FormClose");
}

void TDemoForm::ToolButtonTimerClick(TObject*) {
  Timer1->Enabled = ToolButtonTimer->Down;
  Step(Timer1->Enabled ? "timer on" : "timer off");
}

void TDemoForm::SBPictureClick(TObject*) {
  Image1->Visible = !Image1->Visible;
}

void TDemoForm::EditNameChange(TObject*) {
  Step("name " + EditName->Text);
}

void TDemoForm::TrackIntervalChange(TObject*) {
  // Keeps the interval a multiple of 5.
  int q = TrackInterval->Position / 5;
  LabelInterval->Caption = IntToStr(q * 5);
  TrackInterval->Position = q * 5;
}

void TDemoForm::ButtonApplyClick(TObject*) {
  LabelResult->Caption = EditName->Text + " " + ComboPort->Text + " " + IntToStr(SpinCount->Value) +
                         " " + RadioSpeed->Items->Strings[RadioSpeed->ItemIndex];
  StatusBar1->Panels->Items[0]->Text = "Применено";
  StatusBar1->Refresh();
  ProgressBar1->StepIt();
  Step("apply");
}

void TDemoForm::ButtonShowClick(TObject*) {
  ShowMessage("Привет из формы!");
  Step("shown");
}

void TDemoForm::ButtonAskClick(TObject*) {
  if (Application->MessageBox("Продолжить?", " ", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) Abort();
  Step("asked");
}

void TDemoForm::ButtonNumberClick(TObject*) {
  int n = StrToInt(EditName->Text);
  Step("number " + IntToStr(n));
}

void TDemoForm::RequireConfirmation() {
  if (!CheckConfirm->Checked) Abort();
}

void TDemoForm::ButtonChainClick(TObject*) {
  Step("chain start");
  LabelResult->Caption = "Шаг 1";
  LabelResult->Refresh();
  RequireConfirmation();
  LabelResult->Caption = "Шаг 2";
  Step("chain end");
}

void TDemoForm::MenuOpenClick(TObject*) {
  if (!OpenDialog1->Execute()) return;
  Memo1->Lines->Add(OpenDialog1->FileName);
}

void TDemoForm::MenuExitClick(TObject*) {
  Close();
}

void TDemoForm::PopupClearClick(TObject*) {
  Memo1->Clear();
}

void TDemoForm::Timer1Timer(TObject*) {
  ProgressBar1->StepIt();
  Step("tick");
}

void TDemoForm::Step(const AnsiString& what) {
  Log.push_back(what);
}
