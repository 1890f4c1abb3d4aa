// The user's input, as widget sets report it.
#include "gui_internal.h"
#include "vcl/vcl.h"

namespace vcl::input {
namespace {

bool Reachable(const TControl* control) {
  return control->Showing() && control->Enabled();
}

bool Reachable(const TMenuItem* item) {
  for (const TMenuItem* i = item; i; i = i->Parent())
    if (!i->Visible() || !i->Enabled()) return false;
  return true;
}

// Moves the focus to a control that takes it (as the user's mouse does).
void FocusFor(TControl* control) {
  auto* win = dynamic_cast<TWinControl*>(control);
  if (!win || !win->TabStop() || !win->CanFocus()) return;
  if (TCustomForm* form = win->ParentForm()) form->FocusChanged(win);
}

}  // namespace

bool Click(TComponent* component) {
  if (auto* item = dynamic_cast<TMenuItem*>(component)) {
    if (!Reachable(item) || item->Count > 0) return false;
    detail::Guarded([item] { item->Click(); });
    return true;
  }
  auto* control = dynamic_cast<TControl*>(component);
  if (!control || !Reachable(control)) return false;
  detail::Guarded([control] {
    FocusFor(control);
    if (auto* check = dynamic_cast<TCheckBox*>(control))
      check->Toggle();
    else
      control->Click();
  });
  return true;
}

bool DblClick(TControl* control) {
  if (!Reachable(control)) return false;
  detail::Guarded([control] {
    if (control->OnDblClick) control->OnDblClick(control);
  });
  return true;
}

bool Type(TControl* control, const AnsiString& text) {
  if (!Reachable(control)) return false;
  if (auto* edit = dynamic_cast<TCustomEdit*>(control)) {
    if (edit->ReadOnly()) return false;
    if (auto* spin = dynamic_cast<TCSpinEdit*>(control); spin && !spin->EditorEnabled())
      return false;
    detail::Guarded([edit, &text] {
      FocusFor(edit);
      edit->UserText(text);
    });
    return true;
  }
  if (auto* combo = dynamic_cast<TComboBox*>(control)) {
    if (combo->Style() == csDropDownList) return false;
    detail::Guarded([combo, &text] {
      FocusFor(combo);
      combo->UserText(text);
    });
    return true;
  }
  return false;
}

bool Pick(TControl* control, int index) {
  if (!Reachable(control)) return false;
  if (auto* combo = dynamic_cast<TComboBox*>(control)) {
    if (index < 0 || index >= combo->Items->Count) return false;
    detail::Guarded([combo, index] {
      FocusFor(combo);
      combo->UserSelect(index);
    });
    return true;
  }
  if (auto* group = dynamic_cast<TRadioGroup*>(control)) {
    if (index < 0 || index >= group->Items->Count) return false;
    detail::Guarded([group, index] {
      FocusFor(group);
      group->UserSelect(index);
    });
    return true;
  }
  if (auto* pages = dynamic_cast<TPageControl*>(control)) {
    if (index < 0 || index >= pages->PageCount || !pages->Pages[index]->TabVisible()) return false;
    detail::Guarded([pages, index] { pages->UserSelect(index); });
    return true;
  }
  return false;
}

bool Move(TControl* control, int position) {
  auto* bar = dynamic_cast<TTrackBar*>(control);
  if (!bar || !Reachable(bar)) return false;
  detail::Guarded([bar, position] {
    FocusFor(bar);
    bar->UserMove(position);
  });
  return true;
}

bool Spin(TControl* control, int direction) {
  auto* spin = dynamic_cast<TCSpinEdit*>(control);
  if (!spin || !Reachable(spin) || spin->ReadOnly()) return false;
  detail::Guarded([spin, direction] {
    FocusFor(spin);
    if (direction > 0)
      spin->StepUp();
    else if (direction < 0)
      spin->StepDown();
  });
  return true;
}

bool EditCell(TStringGrid* grid, int col, int row, const AnsiString& text) {
  if (!grid || !Reachable(grid) || !grid->Options().Contains(goEditing)) return false;
  if (col < grid->FixedCols || row < grid->FixedRows || col >= grid->ColCount ||
      row >= grid->RowCount)
    return false;
  detail::Guarded([grid, col, row, &text] {
    FocusFor(grid);
    grid->UserSetCell(col, row, text);
  });
  return true;
}

void Focus(TCustomForm* form, TWinControl* control) {
  if (!form) return;
  detail::Guarded([form, control] { form->FocusChanged(control); });
}

namespace {

TWinControl* KeyTarget(TWinControl* control, bool& preview, TCustomForm*& form) {
  form = control ? control->ParentForm() : nullptr;
  preview = form && form->KeyPreview() && form != control;
  return control;
}

}  // namespace

WORD KeyDown(TWinControl* control, WORD key, TShiftState shift) {
  bool preview;
  TCustomForm* form;
  if (!KeyTarget(control, preview, form)) return key;
  detail::Guarded([&] {
    if (preview && form->OnKeyDown) form->OnKeyDown(form, key, shift);
    if (key && control->OnKeyDown) control->OnKeyDown(control, key, shift);
  });
  return key;
}

char KeyPress(TWinControl* control, char key) {
  bool preview;
  TCustomForm* form;
  if (!KeyTarget(control, preview, form)) return key;
  detail::Guarded([&] {
    if (preview && form->OnKeyPress) form->OnKeyPress(form, key);
    if (key && control->OnKeyPress) control->OnKeyPress(control, key);
  });
  return key;
}

WORD KeyUp(TWinControl* control, WORD key, TShiftState shift) {
  bool preview;
  TCustomForm* form;
  if (!KeyTarget(control, preview, form)) return key;
  detail::Guarded([&] {
    if (preview && form->OnKeyUp) form->OnKeyUp(form, key, shift);
    if (key && control->OnKeyUp) control->OnKeyUp(control, key, shift);
  });
  return key;
}

void CloseRequest(TCustomForm* form) {
  if (!form) return;
  detail::Guarded([form] { form->Close(); });
}

void Resize(TCustomForm* form, int client_width, int client_height) {
  if (!form) return;
  detail::Guarded([&] {
    form->ClientWidth = client_width;
    form->ClientHeight = client_height;
  });
}

void Moved(TCustomForm* form, int left, int top) {
  if (!form) return;
  detail::Guarded([&] { form->SetBounds(left, top, form->Width, form->Height); });
}

void FireTimer(TTimer* timer) {
  if (!timer || !timer->Active()) return;
  detail::Guarded([timer] {
    if (timer->OnTimer) timer->OnTimer(timer);
  });
}

}  // namespace vcl::input
