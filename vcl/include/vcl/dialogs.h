// Dialogs: message boxes and the open and save dialogs.
#pragma once

#include "vcl/forms.h"

// A modal message with one OK button; the caption is the application's title.
void ShowMessage(const AnsiString& Msg);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};
using TMsgDlgButtons = Set<TMsgDlgBtn>;
// A modal message through TApplication::MessageBox: the buttons {mbOK}, {mbOK, mbCancel},
// {mbYes, mbNo}, {mbYes, mbNo, mbCancel}, {mbAbort, mbRetry, mbIgnore} or {mbRetry, mbCancel}
// (other sets show the nearest of these); the result is mrOk, mrCancel, mrYes, mrNo ...
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* AOwner);
  VCL_CLASS_NAME(TCommonDialog)
  Property<int> HelpContext{[this] { return help_context_; }, [this](int v) { help_context_ = v; }};
  Property<bool> Ctl3D{[this] { return ctl3d_; }, [this](bool v) { ctl3d_ = v; }};
  // The position the form designer gave it (kept, not used).
  Property<int> Left{[this] { return left_; }, [this](int v) { left_ = v; }};
  Property<int> Top{[this] { return top_; }, [this](int v) { top_ = v; }};
  virtual bool Execute() = 0;

 private:
  int help_context_ = 0;
  bool ctl3d_ = true;
  int left_ = 0;
  int top_ = 0;
};

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing
};
using TOpenOptions = Set<TOpenOption>;

// The open dialog. Filter is "Description|pattern[;pattern]|Description|pattern...";
// FilterIndex counts from 1. Execute shows the dialog (through the widget set), starting in
// InitialDir with FileName preset; on OK it returns true with FileName the chosen file's full
// path. When that name has no extension, "." + DefaultExt is appended (a leading "*." or "."
// of DefaultExt is dropped first). A chosen file that no text names exactly (a character outside
// the code page, a backslash in a name) is refused with a message naming it: Execute returns
// false, as for Cancel, and FileName stays.
class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* AOwner);
  VCL_CLASS_NAME(TOpenDialog)
  Property<AnsiString> FileName{[this] { return file_name_; },
                                [this](const AnsiString& v) { file_name_ = v; }};
  Property<AnsiString> Filter{[this] { return filter_; },
                              [this](const AnsiString& v) { filter_ = v; }};
  Property<int> FilterIndex{[this] { return filter_index_; }, [this](int v) { filter_index_ = v; }};
  Property<AnsiString> DefaultExt{[this] { return default_ext_; },
                                  [this](const AnsiString& v) { default_ext_ = v; }};
  Property<AnsiString> InitialDir{[this] { return initial_dir_; },
                                  [this](const AnsiString& v) { initial_dir_ = v; }};
  Property<AnsiString> Title{[this] { return title_; },
                             [this](const AnsiString& v) { title_ = v; }};
  Property<TOpenOptions> Options{[this] { return options_; },
                                 [this](TOpenOptions v) { options_ = v; }};
  bool Execute() override;

 private:
  AnsiString file_name_;
  AnsiString filter_;
  int filter_index_ = 1;
  AnsiString default_ext_;
  AnsiString initial_dir_;
  AnsiString title_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

// The save dialog: the same, asking for a file to write.
class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* AOwner);
  VCL_CLASS_NAME(TSaveDialog)
};
