#include "vcl/buttons.h"

#include "gui_internal.h"
#include "published.h"

using vcl::Change;

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), Glyph(new TPicture) {
  SetBounds(0, 0, 23, 22);
  Glyph->OnChange = [this](TObject*) { Changed(Change::Picture); };
}

TSpeedButton::~TSpeedButton() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  delete Glyph;
}

void TSpeedButton::SetFlat(bool v) {
  StoreShown(flat_, v, Change::Style);
}

void TSpeedButton::SetDown(bool v) {
  if (group_index_ == 0) v = false;
  if (v == down_) return;
  if (!v && !allow_all_up_ && !Loading()) return;  // one of the group stays down
  down_ = v;
  Changed(Change::Checked);
  if (v && Parent())
    for (int i = 0; i < Parent()->ControlCount; ++i) {
      auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls[i]);
      if (other && other != this && other->group_index_ == group_index_ && other->down_) {
        other->down_ = false;
        other->Changed(Change::Checked);
      }
    }
}

void TSpeedButton::Click() {
  if (group_index_ != 0) {
    if (down_ && allow_all_up_) {
      down_ = false;
      Changed(Change::Checked);
    } else {
      SetDown(true);
    }
  }
  TGraphicControl::Click();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  StoreShown(layout_, v, Change::Style);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> ButtonsTables() {
  static const ClassTable tables[] = {
      Publish<TSpeedButton>("TSpeedButton", "TControl")
          .sub("Glyph", &TSpeedButton::Glyph, "TPicture")
          .prop("Flat", &TSpeedButton::Flat)
          .prop("Down", &TSpeedButton::Down)
          .prop("GroupIndex", &TSpeedButton::GroupIndex)
          .prop("AllowAllUp", &TSpeedButton::AllowAllUp)
          .prop("Layout", &TSpeedButton::Layout)
          .prop("Margin", &TSpeedButton::Margin)
          .prop("Spacing", &TSpeedButton::Spacing)
          .prop("NumGlyphs", &TSpeedButton::NumGlyphs)
          .prop("Transparent", &TSpeedButton::Transparent),
  };
  return tables;
}

}  // namespace vcl::detail
