#include "vcl/spin.h"

#include <algorithm>

#include "gui_internal.h"
#include "published.h"

TCSpinEdit::TCSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  SetBounds(0, 0, 121, 22);
  text_ = "0";
}

int TCSpinEdit::Clamp(int v) const {
  if (max_value_ <= min_value_ && !(max_value_ == 0 && min_value_ == 0)) return min_value_;
  if (max_value_ == 0 && min_value_ == 0) return v;
  return std::clamp(v, min_value_, max_value_);
}

int TCSpinEdit::GetValue() const {
  try {
    return StrToInt(GetText());
  } catch (const EConvertError&) {
    // The edit then shows the lowest value it allows.
    const_cast<TCSpinEdit*>(this)->SetText(IntToStr(min_value_));
    return min_value_;
  }
}

void TCSpinEdit::SetValue(int v) {
  SetText(IntToStr(Clamp(v)));
}

void TCSpinEdit::SetMinValue(int v) {
  if (v == min_value_) return;
  min_value_ = v;
  Changed(vcl::Change::Range);
}

void TCSpinEdit::SetMaxValue(int v) {
  if (v == max_value_) return;
  max_value_ = v;
  Changed(vcl::Change::Range);
}

void TCSpinEdit::DoExit() {
  int value = GetValue();
  int clamped = Clamp(value);
  if (clamped != value) SetValue(clamped);
  TCustomEdit::DoExit();
}

void TCSpinEdit::Loaded() {
  TCustomEdit::Loaded();
}

void TCSpinEdit::StepUp() {
  SetValue(GetValue() + increment_);
}

void TCSpinEdit::StepDown() {
  SetValue(GetValue() - increment_);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> SpinTables() {
  static const ClassTable tables[] = {
      Publish<TCSpinEdit>("TCSpinEdit", "TCustomEdit")
          .prop("Value", &TCSpinEdit::Value)
          .prop("MinValue", &TCSpinEdit::MinValue)
          .prop("MaxValue", &TCSpinEdit::MaxValue)
          .prop("Increment", &TCSpinEdit::Increment)
          .prop("EditorEnabled", &TCSpinEdit::EditorEnabled),
      Alias("TSpinEdit", "TCSpinEdit"),
  };
  return tables;
}

}  // namespace vcl::detail
