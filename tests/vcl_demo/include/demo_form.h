// A demonstration form that uses every kind of control and of description value. Built
// headless by the class library's tests and under Xvfb by the Qt widget set's screenshot test.
#pragma once

#include <vector>

#include "vcl/vcl.h"

class TDemoForm : public TForm {
 public:
  VCL_FORM(TDemoForm)
  VCL_FIELDS(TLabel, LabelName, LabelPort, LabelCommand, LabelCount, LabelInterval, LabelResult);
  VCL_FIELD(TToolBar, ToolBar1);
  VCL_FIELD(TToolButton, ToolButtonTimer);
  VCL_FIELD(TSpeedButton, SBPicture);
  VCL_FIELD(TPageControl, PageControl1);
  VCL_FIELDS(TTabSheet, TabSheetInput, TabSheetGrid, TabSheetLog);
  VCL_FIELD(TEdit, EditName);
  VCL_FIELDS(TComboBox, ComboPort, ComboCommand);
  VCL_FIELD(TCheckBox, CheckConfirm);
  VCL_FIELD(TCSpinEdit, SpinCount);
  VCL_FIELD(TTrackBar, TrackInterval);
  VCL_FIELDS(TButton, ButtonApply, ButtonShow, ButtonAsk, ButtonNumber, ButtonChain, ButtonHidden);
  VCL_FIELD(TStringGrid, StringGrid1);
  VCL_FIELD(TMemo, Memo1);
  VCL_FIELD(TRichEdit, RichEdit1);
  VCL_FIELD(TGroupBox, GroupMode);
  VCL_FIELD(TRadioGroup, RadioSpeed);
  VCL_FIELD(TStaticText, StaticInfo);
  VCL_FIELD(TImage, Image1);
  VCL_FIELD(TBevel, Bevel1);
  VCL_FIELD(TPanel, PanelActions);
  VCL_FIELD(TProgressBar, ProgressBar1);
  VCL_FIELD(TStatusBar, StatusBar1);
  VCL_FIELD(TMainMenu, MainMenu1);
  VCL_FIELDS(TMenuItem, MenuFile, MenuOpen, MenuSeparator, MenuExit, MenuDebug, PopupClear);
  VCL_FIELD(TPopupMenu, PopupMenu1);
  VCL_FIELD(TTimer, Timer1);
  VCL_FIELD(TOpenDialog, OpenDialog1);

  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ToolButtonTimerClick(TObject* Sender);
  void SBPictureClick(TObject* Sender);
  void EditNameChange(TObject* Sender);
  void TrackIntervalChange(TObject* Sender);
  void ButtonApplyClick(TObject* Sender);
  void ButtonShowClick(TObject* Sender);
  void ButtonAskClick(TObject* Sender);
  void ButtonNumberClick(TObject* Sender);
  void ButtonChainClick(TObject* Sender);
  void MenuOpenClick(TObject* Sender);
  void MenuExitClick(TObject* Sender);
  void PopupClearClick(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  VCL_HANDLERS(FormCreate, FormCloseQuery, FormClose, ToolButtonTimerClick, SBPictureClick,
               EditNameChange, TrackIntervalChange, ButtonApplyClick, ButtonShowClick,
               ButtonAskClick, ButtonNumberClick, ButtonChainClick, MenuOpenClick, MenuExitClick,
               PopupClearClick, Timer1Timer);

  explicit TDemoForm(TComponent* Owner);

  // What the handlers did, in order, for tests.
  std::vector<AnsiString> Log;
  // Controls that existed when the constructor body ran (all of them, with their fields set).
  int ControlsAtConstruction = 0;
  // Set when the close question should refuse.
  bool RefuseClose = false;

 private:
  // Ends the calling handler silently when the confirmation box is not ticked.
  void RequireConfirmation();
  void Step(const AnsiString& what);
};

extern TDemoForm* DemoForm;
