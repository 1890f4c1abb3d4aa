// Standard controls: labels, edits, memos, combo boxes, buttons, check boxes, group boxes,
// static texts.
#pragma once

#include "vcl/controls.h"

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner);
  VCL_CLASS_NAME(TLabel)
  Property<TAlignment> Alignment{this, &TLabel::GetAlignment, &TLabel::SetAlignment};
  Property<TTextLayout> Layout{this, &TLabel::GetLayout, &TLabel::SetLayout};
  Property<bool> WordWrap{this, &TLabel::GetWordWrap, &TLabel::SetWordWrap};
  Property<bool> Transparent{this, &TLabel::GetTransparent, &TLabel::SetTransparent};
  Property<bool> ShowAccelChar{this, &TLabel::GetShowAccelChar, &TLabel::SetShowAccelChar};
  // The control that the label names (an edit beside it); the widget set ties them together.
  Property<TWinControl*> FocusControl{this, &TLabel::GetFocusControl, &TLabel::SetFocusControl};

 private:
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout GetLayout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool GetWordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v);
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool GetShowAccelChar() const { return show_accel_char_; }
  void SetShowAccelChar(bool v);
  TWinControl* GetFocusControl() const { return focus_control_; }
  void SetFocusControl(TWinControl* v);

  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool word_wrap_ = false;
  bool transparent_ = false;
  bool show_accel_char_ = true;
  TWinControl* focus_control_ = nullptr;
};

// The base of edits, memos and spin edits.
//
// CharCase converts every text that reaches the control (typed or set by code). MaxLength
// (0: no limit) limits what the user types, not what code sets. OnChange runs after the text
// changed, by code or by the user.
class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  VCL_CLASS_NAME(TCustomEdit)
  Property<bool> ReadOnly{this, &TCustomEdit::GetReadOnly, &TCustomEdit::SetReadOnly};
  Property<int> MaxLength{this, &TCustomEdit::GetMaxLength, &TCustomEdit::SetMaxLength};
  Property<TEditCharCase> CharCase{this, &TCustomEdit::GetCharCase, &TCustomEdit::SetCharCase};
  Property<char> PasswordChar{this, &TCustomEdit::GetPasswordChar, &TCustomEdit::SetPasswordChar};
  Property<TBorderStyle> BorderStyle{this, &TCustomEdit::GetBorderStyle,
                                     &TCustomEdit::SetBorderStyle};
  Property<bool> AutoSelect{[this] { return auto_select_; }, [this](bool v) { auto_select_ = v; }};
  Property<bool> Modified{[this] { return modified_; }, [this](bool v) { modified_ = v; }};
  // The selection, in characters from 0.
  Property<int> SelStart{this, &TCustomEdit::GetSelStart, &TCustomEdit::SetSelStart};
  Property<int> SelLength{this, &TCustomEdit::GetSelLength, &TCustomEdit::SetSelLength};
  TNotifyEvent OnChange;

  void Clear();
  void SelectAll();

  // Library internals: the user typed this text (vcl::input::Type).
  virtual void UserText(const AnsiString& value);

 protected:
  void SetText(const AnsiString& value) override;
  void TextChanged() override;
  // The length of Text; a memo knows it without joining its lines.
  virtual int TextLength() const { return GetText().Length(); }
  AnsiString ApplyCharCase(const AnsiString& value) const;
  virtual void Change();

 private:
  bool GetReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  int GetMaxLength() const { return max_length_; }
  void SetMaxLength(int v);
  TEditCharCase GetCharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase v);
  char GetPasswordChar() const { return password_char_; }
  void SetPasswordChar(char v);
  TBorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle v);
  int GetSelStart() const { return sel_start_; }
  void SetSelStart(int v);
  int GetSelLength() const { return sel_length_; }
  void SetSelLength(int v);

  bool read_only_ = false;
  int max_length_ = 0;
  TEditCharCase char_case_ = ecNormal;
  char password_char_ = '\0';
  TBorderStyle border_style_ = bsSingle;
  bool auto_select_ = true;
  bool modified_ = false;
  int sel_start_ = 0;
  int sel_length_ = 0;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* AOwner);
  VCL_CLASS_NAME(TEdit)
};

// A multi-line edit. Lines holds the text line by line; Text is the lines joined with CR LF.
class TCustomMemo : public TCustomEdit {
 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;
  VCL_CLASS_NAME(TCustomMemo)
  TStrings* const Lines;
  Property<TScrollStyle> ScrollBars{this, &TCustomMemo::GetScrollBars, &TCustomMemo::SetScrollBars};
  Property<bool> WordWrap{this, &TCustomMemo::GetWordWrap, &TCustomMemo::SetWordWrap};
  Property<bool> WantReturns{[this] { return want_returns_; },
                             [this](bool v) { want_returns_ = v; }};
  Property<bool> WantTabs{[this] { return want_tabs_; }, [this](bool v) { want_tabs_ = v; }};
  Property<TAlignment> Alignment{this, &TCustomMemo::GetAlignment, &TCustomMemo::SetAlignment};

  void UserText(const AnsiString& value) override;

 protected:
  AnsiString GetText() const override;
  void SetText(const AnsiString& value) override;
  int TextLength() const override { return text_length_; }

 private:
  friend class MemoLines;
  // Keeps text_length_: a line added at the end costs its own length, not the whole text's,
  // so that a log of many lines grows in linear time.
  void LinesChanged(int added_index);
  TScrollStyle GetScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle v);
  bool GetWordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

  TScrollStyle scroll_bars_ = ssNone;
  bool word_wrap_ = true;
  bool want_returns_ = true;
  bool want_tabs_ = false;
  TAlignment alignment_ = taLeftJustify;
  int text_length_ = 0;
};

class TMemo : public TCustomMemo {
 public:
  explicit TMemo(TComponent* AOwner);
  VCL_CLASS_NAME(TMemo)
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A combo box. ItemIndex is -1 when no item is selected; setting it selects the item and sets
// Text to it (-1 or an index out of range: no selection and an empty text). Setting Text
// selects the item with that text, ignoring case (none: -1; with csDropDownList the text then
// becomes empty). Emptying Items clears the selection and the text. Sorted keeps Items
// in the list's sorted order; sorted or not, every line added stays (duplicates and lines that
// differ only in case included). Code that changes ItemIndex or Text does not run OnChange; the
// user's typing or choice runs OnChange (and OnSelect for a choice).
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;
  VCL_CLASS_NAME(TComboBox)
  TStrings* const Items;
  Property<int> ItemIndex{this, &TComboBox::GetItemIndex, &TComboBox::SetItemIndex};
  Property<TComboBoxStyle> Style{this, &TComboBox::GetStyle, &TComboBox::SetStyle};
  Property<bool> Sorted{this, &TComboBox::GetSorted, &TComboBox::SetSorted};
  Property<int> MaxLength{this, &TComboBox::GetMaxLength, &TComboBox::SetMaxLength};
  Property<TEditCharCase> CharCase{this, &TComboBox::GetCharCase, &TComboBox::SetCharCase};
  Property<int> DropDownCount{[this] { return drop_down_count_; },
                              [this](int v) { drop_down_count_ = v; }};
  Property<int> ItemHeight{[this] { return item_height_; }, [this](int v) { item_height_ = v; }};
  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;

  void Clear();

  // Library internals: the user typed text / chose an item (vcl::input).
  void UserText(const AnsiString& value);
  void UserSelect(int index);

 protected:
  void SetText(const AnsiString& value) override;
  void Loaded() override;

 private:
  friend class ComboItems;
  void ItemsChanged(int added_index);
  int GetItemIndex() const { return item_index_; }
  void SetItemIndex(int v);
  TComboBoxStyle GetStyle() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  bool GetSorted() const { return sorted_; }
  void SetSorted(bool v);
  int GetMaxLength() const { return max_length_; }
  void SetMaxLength(int v);
  TEditCharCase GetCharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase v);
  AnsiString ApplyCharCase(const AnsiString& value) const;
  int FindExact(const AnsiString& value) const;

  int item_index_ = -1;
  TComboBoxStyle style_ = csDropDown;
  bool sorted_ = false;
  int max_length_ = 0;
  TEditCharCase char_case_ = ecNormal;
  int drop_down_count_ = 8;
  int item_height_ = 13;
};

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* AOwner);
  VCL_CLASS_NAME(TButtonControl)
};

// A push button. Clicking it in a modal form sets the form's ModalResult to its ModalResult.
class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* AOwner);
  VCL_CLASS_NAME(TButton)
  Property<bool> Default{[this] { return default_; }, [this](bool v) { default_ = v; }};
  Property<bool> Cancel{[this] { return cancel_; }, [this](bool v) { cancel_ = v; }};
  Property<int> ModalResult{[this] { return modal_result_; }, [this](int v) { modal_result_ = v; }};
  void Click() override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  int modal_result_ = 0;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box. Every change of Checked (by code or by the user) runs OnClick.
class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* AOwner);
  VCL_CLASS_NAME(TCheckBox)
  Property<bool> Checked{this, &TCheckBox::GetChecked, &TCheckBox::SetChecked};
  Property<TCheckBoxState> State{this, &TCheckBox::GetState, &TCheckBox::SetState};
  Property<bool> AllowGrayed{[this] { return allow_grayed_; },
                             [this](bool v) { allow_grayed_ = v; }};
  Property<TAlignment> Alignment{this, &TCheckBox::GetAlignment, &TCheckBox::SetAlignment};
  // The user's click: toggles (through grayed when AllowGrayed).
  void Toggle();

 private:
  bool GetChecked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState GetState() const { return state_; }
  void SetState(TCheckBoxState v);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

  TCheckBoxState state_ = cbUnchecked;
  bool allow_grayed_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCustomGroupBox : public TCustomControl {
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  VCL_CLASS_NAME(TCustomGroupBox)

 protected:
  void ClientArea(int& left, int& top, int& width, int& height) const override;
};

class TGroupBox : public TCustomGroupBox {
 public:
  explicit TGroupBox(TComponent* AOwner);
  VCL_CLASS_NAME(TGroupBox)
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TStaticText : public TWinControl {
 public:
  explicit TStaticText(TComponent* AOwner);
  VCL_CLASS_NAME(TStaticText)
  Property<TAlignment> Alignment{this, &TStaticText::GetAlignment, &TStaticText::SetAlignment};
  Property<TStaticBorderStyle> BorderStyle{this, &TStaticText::GetBorderStyle,
                                           &TStaticText::SetBorderStyle};
  Property<bool> ShowAccelChar{[this] { return show_accel_char_; },
                               [this](bool v) { show_accel_char_ = v; }};
  Property<TWinControl*> FocusControl{[this] { return focus_control_; },
                                      [this](TWinControl* v) { focus_control_ = v; }};

 private:
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TStaticBorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(TStaticBorderStyle v);

  TAlignment alignment_ = taLeftJustify;
  TStaticBorderStyle border_style_ = sbsNone;
  bool show_accel_char_ = true;
  TWinControl* focus_control_ = nullptr;
};
