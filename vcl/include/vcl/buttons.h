// Buttons: the speed button (a flat button without focus, with an optional picture).
#pragma once

#include "vcl/controls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A speed button takes no keyboard focus: clicking it leaves the focus where it was. With a
// GroupIndex, Down stays set after a click and the other buttons of the group come up.
class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  VCL_CLASS_NAME(TSpeedButton)
  // The button's picture (a JPEG; see TPicture for how a description gives one).
  TPicture* const Glyph;
  Property<bool> Flat{this, &TSpeedButton::GetFlat, &TSpeedButton::SetFlat};
  Property<bool> Down{this, &TSpeedButton::GetDown, &TSpeedButton::SetDown};
  Property<int> GroupIndex{[this] { return group_index_; }, [this](int v) { group_index_ = v; }};
  Property<bool> AllowAllUp{[this] { return allow_all_up_; },
                            [this](bool v) { allow_all_up_ = v; }};
  Property<TButtonLayout> Layout{this, &TSpeedButton::GetLayout, &TSpeedButton::SetLayout};
  Property<int> Margin{[this] { return margin_; }, [this](int v) { margin_ = v; }};
  Property<int> Spacing{[this] { return spacing_; }, [this](int v) { spacing_ = v; }};
  Property<int> NumGlyphs{[this] { return num_glyphs_; }, [this](int v) { num_glyphs_ = v; }};
  Property<bool> Transparent{[this] { return transparent_; }, [this](bool v) { transparent_ = v; }};
  void Click() override;

 private:
  bool GetFlat() const { return flat_; }
  void SetFlat(bool v);
  bool GetDown() const { return down_; }
  void SetDown(bool v);
  TButtonLayout GetLayout() const { return layout_; }
  void SetLayout(TButtonLayout v);

  bool flat_ = false;
  bool down_ = false;
  int group_index_ = 0;
  bool allow_all_up_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  int num_glyphs_ = 1;
  bool transparent_ = true;
};
