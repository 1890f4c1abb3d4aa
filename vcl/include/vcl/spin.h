// The spin edit: TCSpinEdit (a description may also name it TSpinEdit).
#pragma once

#include "vcl/stdctrls.h"

// A number edit with up and down buttons.
//
// Value reads the text as a decimal number (leading blanks and a sign allowed). A text that is
// no number reads as MinValue, and the edit then shows MinValue. A number typed outside
// MinValue .. MaxValue reads as typed while the edit keeps the focus; when the focus leaves,
// it is brought into the range. Setting Value clamps it to the range (when MaxValue >
// MinValue; with MaxValue = MinValue = 0 any value is allowed) and shows it.
class TCSpinEdit : public TCustomEdit {
 public:
  explicit TCSpinEdit(TComponent* AOwner);
  VCL_CLASS_NAME(TCSpinEdit)
  Property<int> Value{this, &TCSpinEdit::GetValue, &TCSpinEdit::SetValue};
  Property<int> MinValue{this, &TCSpinEdit::GetMinValue, &TCSpinEdit::SetMinValue};
  Property<int> MaxValue{this, &TCSpinEdit::GetMaxValue, &TCSpinEdit::SetMaxValue};
  Property<int> Increment{[this] { return increment_; }, [this](int v) { increment_ = v; }};
  Property<bool> EditorEnabled{[this] { return editor_enabled_; },
                               [this](bool v) { editor_enabled_ = v; }};

  // The user pressed the up or down button.
  void StepUp();
  void StepDown();

 protected:
  void DoExit() override;
  void Loaded() override;

 private:
  int GetValue() const;
  void SetValue(int v);
  int GetMinValue() const { return min_value_; }
  void SetMinValue(int v);
  int GetMaxValue() const { return max_value_; }
  void SetMaxValue(int v);
  int Clamp(int v) const;

  int min_value_ = 0;
  int max_value_ = 0;
  int increment_ = 1;
  bool editor_enabled_ = true;
};

using TSpinEdit = TCSpinEdit;
