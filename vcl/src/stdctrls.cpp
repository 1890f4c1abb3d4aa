#include "vcl/stdctrls.h"

#include "gui_internal.h"
#include "published.h"
#include "vcl/forms.h"

using vcl::Change;

// ---- TLabel ----

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 65, 13);
  AutoSize = true;
}

void TLabel::SetAlignment(TAlignment v) {
  StoreShown(alignment_, v, Change::Style);
}

void TLabel::SetLayout(TTextLayout v) {
  StoreShown(layout_, v, Change::Style);
}

void TLabel::SetWordWrap(bool v) {
  StoreShown(word_wrap_, v, Change::Style);
}

void TLabel::SetTransparent(bool v) {
  StoreShown(transparent_, v, Change::Style);
}

void TLabel::SetShowAccelChar(bool v) {
  StoreShown(show_accel_char_, v, Change::Style);
}

void TLabel::SetFocusControl(TWinControl* v) {
  if (v == focus_control_) return;
  focus_control_ = v;
  Changed(Change::Style);
}

// ---- TCustomEdit ----

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  Color = clWindow;
}

AnsiString TCustomEdit::ApplyCharCase(const AnsiString& value) const {
  switch (char_case_) {
    case ecUpperCase:
      return value.UpperCase();
    case ecLowerCase:
      return value.LowerCase();
    default:
      return value;
  }
}

void TCustomEdit::SetText(const AnsiString& value) {
  TControl::SetText(ApplyCharCase(value));
}

void TCustomEdit::TextChanged() {
  int length = TextLength();
  if (sel_start_ > length) sel_start_ = length;
  if (sel_start_ + sel_length_ > length) sel_length_ = length - sel_start_;
  Change();
}

void TCustomEdit::Change() {
  if (!Loading() && OnChange) OnChange(this);
}

void TCustomEdit::UserText(const AnsiString& value) {
  AnsiString typed = value;
  if (max_length_ > 0 && typed.Length() > max_length_) typed.SetLength(max_length_);
  modified_ = true;
  SetText(typed);
  sel_start_ = GetText().Length();
  sel_length_ = 0;
}

void TCustomEdit::Clear() {
  SetText("");
}

void TCustomEdit::SelectAll() {
  sel_start_ = 0;
  sel_length_ = GetText().Length();
}

void TCustomEdit::SetReadOnly(bool v) {
  StoreShown(read_only_, v, Change::Style);
}

void TCustomEdit::SetMaxLength(int v) {
  if (v < 0) v = 0;
  if (v == max_length_) return;
  max_length_ = v;
  Changed(Change::Style);
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (v == char_case_) return;
  char_case_ = v;
  Changed(Change::Style);
  SetText(GetText());
}

void TCustomEdit::SetPasswordChar(char v) {
  StoreShown(password_char_, v, Change::Style);
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  StoreShown(border_style_, v, Change::Style);
}

void TCustomEdit::SetSelStart(int v) {
  int length = TextLength();
  sel_start_ = v < 0 ? 0 : (v > length ? length : v);
  sel_length_ = 0;
}

void TCustomEdit::SetSelLength(int v) {
  int length = TextLength();
  if (v < 0) v = 0;
  if (sel_start_ + v > length) v = length - sel_start_;
  sel_length_ = v;
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

// ---- Memos ----

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner),
      Lines(new vcl::detail::NotifyingList([this](int added) { LinesChanged(added); })) {
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  delete Lines;
}

AnsiString TCustomMemo::GetText() const {
  std::string out;
  for (int i = 0; i < Lines->Count; ++i) {
    if (i > 0) out += "\r\n";
    out += Lines->Strings[i]().str();
  }
  return AnsiString(std::move(out));
}

void TCustomMemo::SetText(const AnsiString& value) {
  AnsiString text = ApplyCharCase(value);
  if (text == GetText()) return;
  Lines->Text = text;
}

void TCustomMemo::UserText(const AnsiString& value) {
  AnsiString typed = value;
  if (MaxLength() > 0 && typed.Length() > MaxLength()) typed.SetLength(MaxLength());
  Modified = true;
  SetText(typed);
}

void TCustomMemo::LinesChanged(int added_index) {
  if (Destroying()) return;
  const int count = Lines->Count;
  if (added_index >= 0 && added_index == count - 1) {
    text_length_ += Lines->Strings[added_index]().Length() + (count > 1 ? 2 : 0);
  } else {
    text_length_ = GetText().Length();
  }
  if (added_index >= 0)
    Changed(Change::ItemAdded, added_index);
  else
    Changed(Change::Items);
  TextChanged();
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  StoreShown(scroll_bars_, v, Change::Style);
}

void TCustomMemo::SetWordWrap(bool v) {
  StoreShown(word_wrap_, v, Change::Style);
}

void TCustomMemo::SetAlignment(TAlignment v) {
  StoreShown(alignment_, v, Change::Style);
}

TMemo::TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}

// ---- TComboBox ----

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      Items(new vcl::detail::NotifyingList([this](int added) { ItemsChanged(added); })) {
  // A combo box keeps every line added, sorted or not: duplicates and lines that differ only in
  // case each stay an item of their own.
  static_cast<TStringList*>(Items)->Duplicates = dupAccept;
  SetBounds(0, 0, 145, 21);
  Color = clWindow;
}

TComboBox::~TComboBox() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  delete Items;
}

AnsiString TComboBox::ApplyCharCase(const AnsiString& value) const {
  switch (char_case_) {
    case ecUpperCase:
      return value.UpperCase();
    case ecLowerCase:
      return value.LowerCase();
    default:
      return value;
  }
}

int TComboBox::FindExact(const AnsiString& value) const {
  for (int i = 0; i < Items->Count; ++i)
    if (Items->Strings[i]().UpperCase() == value.UpperCase()) return i;
  return -1;
}

void TComboBox::ItemsChanged(int added_index) {
  if (Destroying()) return;
  if (Loading()) return;
  int count = Items->Count;
  if (added_index >= 0) {
    if (item_index_ >= added_index) ++item_index_;
    Changed(Change::ItemAdded, added_index);
  } else {
    Changed(Change::Items);
  }
  if (count == 0) {
    // Emptying the list clears the selection and the edit field.
    item_index_ = -1;
    TControl::SetText("");
  } else if (item_index_ >= count) {
    item_index_ = -1;
    if (style_ == csDropDownList) TControl::SetText("");
  } else if (item_index_ >= 0 && style_ == csDropDownList) {
    TControl::SetText(Items->Strings[item_index_]);
  }
  Changed(Change::ItemIndex);
}

void TComboBox::SetItemIndex(int v) {
  if (Loading()) {
    item_index_ = v;
    return;
  }
  if (v < -1 || v >= Items->Count) v = -1;
  item_index_ = v;
  TControl::SetText(v >= 0 ? Items->Strings[v]() : AnsiString());
  Changed(Change::ItemIndex);
}

void TComboBox::SetText(const AnsiString& value) {
  AnsiString text = ApplyCharCase(value);
  if (Loading()) {
    TControl::SetText(text);
    return;
  }
  int index = FindExact(text);
  if (style_ == csDropDownList) {
    item_index_ = index;
    TControl::SetText(index >= 0 ? Items->Strings[index]() : AnsiString());
  } else {
    item_index_ = index;
    TControl::SetText(text);
  }
  Changed(Change::ItemIndex);
}

void TComboBox::Loaded() {
  TWinControl::Loaded();
  if (item_index_ >= 0 && item_index_ < Items->Count) {
    TControl::SetText(Items->Strings[item_index_]);
  } else {
    item_index_ = -1;
    if (style_ == csDropDownList) TControl::SetText("");
  }
}

void TComboBox::UserText(const AnsiString& value) {
  AnsiString typed = value;
  if (max_length_ > 0 && typed.Length() > max_length_) typed.SetLength(max_length_);
  typed = ApplyCharCase(typed);
  item_index_ = FindExact(typed);
  TControl::SetText(typed);
  Changed(Change::ItemIndex);
  if (OnChange) OnChange(this);
}

void TComboBox::UserSelect(int index) {
  if (index < 0 || index >= Items->Count) return;
  item_index_ = index;
  TControl::SetText(Items->Strings[index]);
  Changed(Change::ItemIndex);
  if (OnChange) OnChange(this);
  if (OnSelect) OnSelect(this);
}

void TComboBox::Clear() {
  Items->Clear();
  item_index_ = -1;
  TControl::SetText("");
}

void TComboBox::SetStyle(TComboBoxStyle v) {
  StoreShown(style_, v, Change::Style);
}

void TComboBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  static_cast<TStringList*>(Items)->Sorted = v;
  Changed(Change::Style);
}

void TComboBox::SetMaxLength(int v) {
  if (v < 0) v = 0;
  if (v == max_length_) return;
  max_length_ = v;
  Changed(Change::Style);
}

void TComboBox::SetCharCase(TEditCharCase v) {
  StoreShown(char_case_, v, Change::Style);
}

// ---- Buttons ----

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
}

void TButton::Click() {
  if (modal_result_ != 0)
    if (TCustomForm* form = ParentForm()) form->ModalResult = modal_result_;
  TButtonControl::Click();
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetState(TCheckBoxState v) {
  if (v == state_) return;
  state_ = v;
  Changed(Change::Checked);
  if (!Loading()) Click();
}

void TCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(allow_grayed_ ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TCheckBox::SetAlignment(TAlignment v) {
  StoreShown(alignment_, v, Change::Style);
}

// ---- Group boxes, static texts ----

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::ClientArea(int& left, int& top, int& width, int& height) const {
  // Below the caption, inside the frame.
  left = 2;
  top = 15;
  width = GetClientWidth() - 4;
  height = GetClientHeight() - 17;
}

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 65, 17);
  AutoSize = true;
}

void TStaticText::SetAlignment(TAlignment v) {
  StoreShown(alignment_, v, Change::Style);
}

void TStaticText::SetBorderStyle(TStaticBorderStyle v) {
  StoreShown(border_style_, v, Change::Style);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> StdCtrlsTables() {
  static const ClassTable tables[] = {
      Publish<TLabel>("TLabel", "TControl")
          .prop("Alignment", &TLabel::Alignment)
          .prop("Layout", &TLabel::Layout)
          .prop("WordWrap", &TLabel::WordWrap)
          .prop("Transparent", &TLabel::Transparent)
          .prop("ShowAccelChar", &TLabel::ShowAccelChar)
          .prop("FocusControl", &TLabel::FocusControl),
      Publish<TCustomEdit>("TCustomEdit", "TWinControl", Creation::kBaseOnly)
          .prop("ReadOnly", &TCustomEdit::ReadOnly)
          .prop("MaxLength", &TCustomEdit::MaxLength)
          .prop("CharCase", &TCustomEdit::CharCase)
          .prop("PasswordChar", &TCustomEdit::PasswordChar)
          .prop("BorderStyle", &TCustomEdit::BorderStyle)
          .prop("AutoSelect", &TCustomEdit::AutoSelect)
          .event("OnChange", &TCustomEdit::OnChange),
      Publish<TEdit>("TEdit", "TCustomEdit"),
      Publish<TCustomMemo>("TCustomMemo", "TCustomEdit", Creation::kBaseOnly)
          .sub("Lines", &TCustomMemo::Lines, "TStrings")
          .prop("ScrollBars", &TCustomMemo::ScrollBars)
          .prop("WordWrap", &TCustomMemo::WordWrap)
          .prop("WantReturns", &TCustomMemo::WantReturns)
          .prop("WantTabs", &TCustomMemo::WantTabs)
          .prop("Alignment", &TCustomMemo::Alignment),
      Publish<TMemo>("TMemo", "TCustomMemo"),
      Publish<TComboBox>("TComboBox", "TWinControl")
          .sub("Items", &TComboBox::Items, "TStrings")
          .prop("ItemIndex", &TComboBox::ItemIndex)
          .prop("Style", &TComboBox::Style)
          .prop("Sorted", &TComboBox::Sorted)
          .prop("MaxLength", &TComboBox::MaxLength)
          .prop("CharCase", &TComboBox::CharCase)
          .prop("DropDownCount", &TComboBox::DropDownCount)
          .prop("ItemHeight", &TComboBox::ItemHeight)
          .event("OnChange", &TComboBox::OnChange)
          .event("OnSelect", &TComboBox::OnSelect)
          .event("OnDropDown", &TComboBox::OnDropDown),
      Publish<TButton>("TButton", "TWinControl")
          .prop("Default", &TButton::Default)
          .prop("Cancel", &TButton::Cancel)
          .prop("ModalResult", &TButton::ModalResult),
      Publish<TCheckBox>("TCheckBox", "TWinControl")
          .prop("Checked", &TCheckBox::Checked)
          .prop("State", &TCheckBox::State)
          .prop("AllowGrayed", &TCheckBox::AllowGrayed)
          .prop("Alignment", &TCheckBox::Alignment),
      Publish<TGroupBox>("TGroupBox", "TWinControl"),
      Publish<TStaticText>("TStaticText", "TWinControl")
          .prop("Alignment", &TStaticText::Alignment)
          .prop("BorderStyle", &TStaticText::BorderStyle)
          .prop("ShowAccelChar", &TStaticText::ShowAccelChar)
          .prop("FocusControl", &TStaticText::FocusControl),
  };
  return tables;
}

}  // namespace vcl::detail
