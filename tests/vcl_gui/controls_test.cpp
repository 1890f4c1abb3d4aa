// Controls as the programs use them: the side effects of their properties and of the user's
// input, layout, ownership and fonts.
#include <gtest/gtest.h>

#include "vcl/headless_gtest.h"

namespace hl = vcl::headless;

class ControlsTest : public hl::FormTest {
 protected:
  void SetUp() override {
    form = new TForm(Application);
    form->SetBounds(0, 0, 400, 300);
    form->Show();
  }
  template <class T>
  T* Add(TWinControl* parent = nullptr) {
    T* c = new T(form);
    c->Parent = parent ? parent : form;
    return c;
  }
  TForm* form = nullptr;
};

// The user's moves run OnChange once per change; a position set by code is clamped and shown
// but runs no handler, so a handler that sets the position does not run itself again and a
// value written beside the bar by code stays as written.
TEST_F(ControlsTest, TrackBarClampsAndReportsEachMoveOfTheUserOnce) {
  auto* bar = Add<TTrackBar>();
  bar->Min = 5;
  bar->Max = 100;
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  struct Case {
    bool by_user;
    int set, position, changes;
  };
  const Case cases[] = {{true, 50, 50, 1},    {true, 50, 50, 1}, {true, -3, 5, 2},
                        {true, 1000, 100, 3}, {false, 7, 7, 3},  {false, 300, 100, 3},
                        {true, 100, 100, 3},  {true, 23, 23, 4}};
  for (const Case& c : cases) {
    if (c.by_user)
      hl::Move(bar, c.set);
    else
      bar->Position = c.set;
    EXPECT_EQ(bar->Position, c.position) << c.set;
    EXPECT_EQ(changes, c.changes) << c.set;
  }
  bar->Max = 6;  // moves the position into the new range
  EXPECT_EQ(bar->Position, 6);
  EXPECT_EQ(changes, 4);

  // A handler that rounds the user's move down sets the position once, without running again.
  bar->Max = 100;
  bar->OnChange = [&](TObject*) {
    ++changes;
    bar->Position = bar->Position / 5 * 5;
  };
  hl::Move(bar, 23);
  EXPECT_EQ(bar->Position, 20);
  EXPECT_EQ(changes, 5);
}

TEST_F(ControlsTest, ComboBoxIndexAndText) {
  auto* combo = Add<TComboBox>();
  combo->Style = csDropDownList;
  combo->Sorted = true;
  for (const char* port : {"COM3", "COM10", "COM2"}) combo->Items->Add(port);
  EXPECT_EQ(combo->ItemIndex, -1);
  EXPECT_EQ(combo->Items->Strings[0], "COM10");  // sorted by text
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  struct Case {
    std::function<void()> act;
    int index;
    const char* text;
  };
  const Case cases[] = {
      {[&] { combo->ItemIndex = 2; }, 2, "COM3"},
      {[&] { combo->ItemIndex++; }, -1, ""},  // past the end: nothing selected
      {[&] { combo->ItemIndex = 7; }, -1, ""},
      {[&] { combo->Text = "com2"; }, 1, "COM2"},  // the list's own text
      {[&] { combo->Text = "LPT1"; }, -1, ""},
      {[&] { combo->ItemIndex = 0; }, 0, "COM10"},
      {[&] { combo->Items->Clear(); }, -1, ""},
  };
  for (const Case& c : cases) {
    c.act();
    EXPECT_EQ(combo->ItemIndex, c.index);
    EXPECT_EQ(combo->Text(), c.text);
  }
  EXPECT_EQ(changes, 0);  // code does not run OnChange

  auto* edit_combo = Add<TComboBox>();
  edit_combo->Items->Add("ATE0");
  edit_combo->Items->Add("AT+CSQ");
  edit_combo->CharCase = ecUpperCase;
  edit_combo->OnChange = [&](TObject*) { ++changes; };
  hl::Type(edit_combo, "at+csq");
  EXPECT_EQ(edit_combo->Text(), "AT+CSQ");
  EXPECT_EQ(edit_combo->ItemIndex, 1);
  hl::Type(edit_combo, "ATD");
  EXPECT_EQ(edit_combo->ItemIndex, -1);
  hl::Pick(edit_combo, 0);
  EXPECT_EQ(edit_combo->Text(), "ATE0");
  EXPECT_EQ(changes, 3);
  EXPECT_THROW(hl::Type(combo, "x"), hl::Error);  // a drop-down list takes no typing
}

TEST_F(ControlsTest, SortedComboBoxKeepsEveryLine) {
  // A list with a repeated line, a line differing only in case and two empty lines, set sorted
  // before and after it is filled and filled again through its text.
  const char* lines[] = {"petrov 111", "ivanov 222", "petrov 111", "", "Ivanov 222", ""};
  // Lines equal but for case go by their bytes.
  const std::vector<AnsiString> sorted = {"",           "",           "Ivanov 222",
                                          "ivanov 222", "petrov 111", "petrov 111"};
  auto items = [](TComboBox* c) {
    std::vector<AnsiString> v;
    for (int i = 0; i < c->Items->Count; ++i) v.push_back(c->Items->Strings[i]);
    return v;
  };
  auto* before = Add<TComboBox>();
  before->Sorted = true;
  for (const char* line : lines) before->Items->Add(line);
  EXPECT_EQ(items(before), sorted);

  auto* after = Add<TComboBox>();
  for (const char* line : lines) after->Items->Add(line);
  after->Sorted = true;
  EXPECT_EQ(items(after), sorted);

  after->Items->Text = "b\r\na\nb\rB\r\n";
  EXPECT_EQ(items(after), (std::vector<AnsiString>{"a", "B", "b", "b"}));
}

TEST_F(ControlsTest, RadioGroupClampsAndClicksOnChange) {
  auto* group = Add<TRadioGroup>();
  for (const char* rate : {"38400", "9600", "115200"}) group->Items->Add(rate);
  int clicks = 0;
  group->OnClick = [&](TObject*) { ++clicks; };
  struct Case {
    int set, index, clicks;
  };
  for (const Case& c : {Case{1, 1, 1}, {1, 1, 1}, {9, 2, 2}, {-5, -1, 3}}) {
    group->ItemIndex = c.set;
    EXPECT_EQ(group->ItemIndex, c.index) << c.set;
    EXPECT_EQ(clicks, c.clicks) << c.set;
  }
  hl::Pick(group, "9600");
  EXPECT_EQ(group->ItemIndex, 1);
  EXPECT_EQ(clicks, 4);
}

TEST_F(ControlsTest, SpinEditValueAsTheLibraryReportsIt) {
  auto* spin = Add<TCSpinEdit>();
  spin->MinValue = 1;
  spin->MaxValue = 3;
  spin->Value = 1;
  auto* other = Add<TEdit>();
  struct Case {
    const char* typed;
    int value;
    const char* shown;        // text after reading the value
    const char* after_leave;  // text once the focus moved away
  };
  const Case cases[] = {
      {"2", 2, "2", "2"}, {" 3", 3, " 3", " 3"}, {"abc", 1, "1", "1"},
      {"", 1, "1", "1"},  {"7", 7, "7", "3"},    {"-4", -4, "-4", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    hl::Type(spin, c.typed);
    EXPECT_EQ(spin->Value, c.value);
    EXPECT_EQ(spin->Text(), c.shown);
    hl::Focus(other);
    EXPECT_EQ(spin->Text(), c.after_leave);
  }
  spin->Value = 99;
  EXPECT_EQ(spin->Text(), "3");
  hl::Spin(spin, -1);
  EXPECT_EQ(spin->Value, 2);
  // A speed button takes no focus: a number out of range reaches its handler as typed.
  auto* button = Add<TSpeedButton>();
  int seen = 0;
  button->OnClick = [&](TObject*) { seen = spin->Value; };
  hl::Type(spin, "5");
  hl::Click(button);
  EXPECT_EQ(seen, 5);
}

TEST_F(ControlsTest, EditCharCaseMaxLengthAndChange) {
  auto* edit = Add<TEdit>();
  std::vector<AnsiString> changes;
  edit->OnChange = [&](TObject*) { changes.push_back(edit->Text); };
  edit->CharCase = ecUpperCase;
  edit->MaxLength = 4;
  struct Case {
    bool typed;
    const char* text;
    const char* result;
  };
  const Case cases[] = {
      {false, "abcdef", "ABCDEF"},  // code is not limited by MaxLength
      {true, "abcdef", "ABCD"},
      {true, "\xE0\xE1\xE2", "\xC0\xC1\xC2"},   // Cyrillic а б в become А Б В
      {false, "\xC0\xC1\xC2", "\xC0\xC1\xC2"},  // the same text: no change
  };
  for (const Case& c : cases) {
    if (c.typed)
      hl::Type(edit, c.text);
    else
      edit->Text = c.text;
    EXPECT_EQ(edit->Text(), c.result);
  }
  EXPECT_EQ(changes, (std::vector<AnsiString>{"ABCDEF", "ABCD", "\xC0\xC1\xC2"}));
  edit->CharCase = ecLowerCase;
  EXPECT_EQ(edit->Text(), "\xE0\xE1\xE2");
  edit->ReadOnly = true;
  EXPECT_THROW(hl::Type(edit, "x"), hl::Error);
}

TEST_F(ControlsTest, CheckBoxClicksOnEveryChange) {
  auto* box = Add<TCheckBox>();
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->Checked = true;
  box->Checked = true;
  hl::Click(box);
  EXPECT_FALSE(box->Checked);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, MemoLinesAndText) {
  auto* memo = Add<TMemo>();
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  memo->Lines->Add("one");
  memo->Lines->Add("two");
  EXPECT_EQ(memo->Text(), "one\r\ntwo");
  memo->Text = "a\nb\r\nc";
  EXPECT_EQ(memo->Lines->Count, 3);
  memo->Clear();
  EXPECT_EQ(memo->Lines->Count, 0);
  EXPECT_EQ(changes, 4);
}

TEST_F(ControlsTest, GridCellsOutsideAreEmptyAndShrinkingDropsThem) {
  auto* grid = Add<TStringGrid>();
  grid->ColCount = 3;
  grid->RowCount = 31;
  grid->Cells[2][30] = "x";
  grid->Cells[5][5] = "ignored";
  EXPECT_EQ(grid->Cells[2][30], "x");
  EXPECT_EQ(grid->Cells[5][5], "");
  EXPECT_EQ(grid->Cells[-1][0], "");
  grid->RowCount = 10;
  grid->RowCount = 31;
  EXPECT_EQ(grid->Cells[2][30], "");
  EXPECT_THROW(grid->FixedCols = 3, EInvalidGridOperation);
  grid->Options = TGridOptions{goEditing};
  hl::EditCell(grid, 1, 1, "7");
  EXPECT_EQ(grid->Cells[1][1], "7");
  EXPECT_THROW(hl::EditCell(grid, 0, 1, "7"), hl::Error);  // a fixed column
}

TEST_F(ControlsTest, AlignedChildrenShareTheClientArea) {
  auto* panel = Add<TPanel>();
  panel->BevelOuter = bvNone;
  panel->SetBounds(0, 0, 200, 100);
  auto* top = Add<TPanel>(panel);
  top->Height = 20;
  top->Align = alTop;
  auto* bottom = Add<TStatusBar>(panel);  // aligned to the bottom by itself
  auto* left = Add<TPanel>(panel);
  left->Width = 30;
  left->Align = alLeft;
  auto* client = Add<TMemo>(panel);
  client->Align = alClient;
  auto bounds = [](TControl* c) { return std::vector<int>{c->Left, c->Top, c->Width, c->Height}; };
  EXPECT_EQ(bounds(top), (std::vector<int>{0, 0, 200, 20}));
  EXPECT_EQ(bounds(bottom), (std::vector<int>{0, 81, 200, 19}));
  EXPECT_EQ(bounds(left), (std::vector<int>{0, 20, 30, 61}));
  EXPECT_EQ(bounds(client), (std::vector<int>{30, 20, 170, 61}));
  top->Visible = false;
  EXPECT_EQ(bounds(client), (std::vector<int>{30, 0, 170, 81}));
  panel->Width = 300;
  EXPECT_EQ(client->Width, 270);
}

TEST_F(ControlsTest, AutoSizedFormFitsItsVisibleChildren) {
  auto* fitted = new TForm(Application);
  auto* a = new TPanel(fitted);
  a->Parent = fitted;
  a->SetBounds(10, 10, 100, 50);
  auto* b = new TPanel(fitted);
  b->Parent = fitted;
  b->SetBounds(10, 70, 300, 200);
  b->Visible = false;
  fitted->AutoSize = true;
  a->Width = 101;
  EXPECT_EQ(fitted->ClientWidth, 111);
  EXPECT_EQ(fitted->ClientHeight, 60);
  b->Visible = true;
  EXPECT_EQ(fitted->ClientWidth, 310);
  EXPECT_EQ(fitted->ClientHeight, 270);
}

TEST_F(ControlsTest, ComponentsOwnersAndNames) {
  auto* owner = new TComponent(nullptr);
  auto* a = new TComponent(owner);
  a->Name = "Alpha";
  auto* b = new TComponent(owner);
  EXPECT_EQ(owner->FindComponent("ALPHA"), a);
  EXPECT_EQ(owner->FindComponent("Beta"), nullptr);
  EXPECT_THROW(b->Name = "alpha", EComponentError);
  EXPECT_THROW(b->Name = "9lives", EComponentError);
  EXPECT_EQ(owner->ComponentCount, 2);
  EXPECT_EQ(owner->Components[1], b);
  EXPECT_THROW(owner->Components[2], EListError);
  delete b;
  EXPECT_EQ(owner->ComponentCount, 1);
  delete owner;  // deletes Alpha too (the sanitizer build sees a leak otherwise)
}

TEST_F(ControlsTest, ZOrderAndVisibility) {
  auto* panel = Add<TPanel>();
  auto* a = Add<TLabel>(panel);
  auto* b = Add<TLabel>(panel);
  a->BringToFront();
  EXPECT_EQ(panel->Controls[1], a);
  a->SendToBack();
  EXPECT_EQ(panel->Controls[0], a);
  EXPECT_TRUE(b->Showing);
  panel->Hide();
  EXPECT_FALSE(b->Showing);
  EXPECT_TRUE(b->Visible);
  EXPECT_THROW(hl::Click(b), hl::Error);
}

TEST_F(ControlsTest, FontsFollowTheParentUntilSetThemselves) {
  auto* panel = Add<TPanel>();
  auto* label = Add<TLabel>(panel);
  auto* bold = Add<TLabel>(panel);
  bold->Font->Style = TFontStyles{fsBold};
  EXPECT_FALSE(bold->ParentFont);
  panel->Font->Color = clRed;
  EXPECT_EQ(label->Font->Color(), clRed);
  EXPECT_TRUE(label->ParentFont);
  EXPECT_NE(bold->Font->Color(), clRed);
  label->Font->Height = -16;
  EXPECT_EQ(label->Font->Size(), 12);
}

TEST_F(ControlsTest, StatusPanelsAndPages) {
  auto* bar = Add<TStatusBar>();
  bar->Panels->Add()->Width = 300;
  bar->Panels->Add();
  bar->Panels->Items[1]->Text = "50%";
  EXPECT_EQ(bar->Panels->Count, 2);
  EXPECT_THROW(bar->Panels->Items[2], EListError);

  auto* pages = Add<TPageControl>();
  auto* one = new TTabSheet(form);
  one->PageControl = pages;
  auto* two = new TTabSheet(form);
  two->PageControl = pages;
  auto* edit = Add<TEdit>(two);
  EXPECT_EQ(pages->ActivePage(), one);
  EXPECT_FALSE(edit->Showing);
  int changes = 0;
  pages->OnChange = [&](TObject*) { ++changes; };
  hl::Pick(pages, 1);
  EXPECT_TRUE(edit->Showing);
  EXPECT_EQ(changes, 1);
  delete two;
  EXPECT_EQ(pages->ActivePage(), one);
}
