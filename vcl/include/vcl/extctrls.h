// Extra controls: panels, radio groups, images, bevels, timers.
#pragma once

#include "vcl/controls.h"
#include "vcl/stdctrls.h"

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* AOwner);
  VCL_CLASS_NAME(TPanel)
  Property<TPanelBevel> BevelInner{this, &TPanel::GetBevelInner, &TPanel::SetBevelInner};
  Property<TPanelBevel> BevelOuter{this, &TPanel::GetBevelOuter, &TPanel::SetBevelOuter};
  Property<int> BevelWidth{this, &TPanel::GetBevelWidth, &TPanel::SetBevelWidth};
  Property<int> BorderWidth{this, &TPanel::GetBorderWidth, &TPanel::SetBorderWidth};
  Property<TBorderStyle> BorderStyle{this, &TPanel::GetBorderStyle, &TPanel::SetBorderStyle};
  Property<TAlignment> Alignment{this, &TPanel::GetAlignment, &TPanel::SetAlignment};

 protected:
  void ClientArea(int& left, int& top, int& width, int& height) const override;

 private:
  TPanelBevel GetBevelInner() const { return bevel_inner_; }
  void SetBevelInner(TPanelBevel v);
  TPanelBevel GetBevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TPanelBevel v);
  int GetBevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int v);
  int GetBorderWidth() const { return border_width_; }
  void SetBorderWidth(int v);
  TBorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle v);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

  TPanelBevel bevel_inner_ = bvNone;
  TPanelBevel bevel_outer_ = bvRaised;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TBorderStyle border_style_ = bsNone;
  TAlignment alignment_ = taCenter;
};

// A group of radio buttons, one per item. ItemIndex is -1 when none is selected; code that
// sets it is clamped to -1 .. Count - 1. Every change of ItemIndex (by code or by the user)
// runs OnClick.
class TRadioGroup : public TCustomGroupBox {
 public:
  explicit TRadioGroup(TComponent* AOwner);
  ~TRadioGroup() override;
  VCL_CLASS_NAME(TRadioGroup)
  TStrings* const Items;
  Property<int> ItemIndex{this, &TRadioGroup::GetItemIndex, &TRadioGroup::SetItemIndex};
  Property<int> Columns{this, &TRadioGroup::GetColumns, &TRadioGroup::SetColumns};

  // Library internals: the user chose an item (vcl::input::Pick).
  void UserSelect(int index);

 protected:
  void Loaded() override;

 private:
  friend class RadioItems;
  void ItemsChanged(int added_index);
  int GetItemIndex() const { return item_index_; }
  void SetItemIndex(int v);
  int GetColumns() const { return columns_; }
  void SetColumns(int v);

  int item_index_ = -1;
  int columns_ = 1;
};

// Shows its Picture (a decoded JPEG): Stretch scales it to the frame, Center centres it,
// Proportional keeps its aspect ratio when scaling.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  VCL_CLASS_NAME(TImage)
  TPicture* const Picture;
  Property<bool> Stretch{this, &TImage::GetStretch, &TImage::SetStretch};
  Property<bool> Center{this, &TImage::GetCenter, &TImage::SetCenter};
  Property<bool> Proportional{this, &TImage::GetProportional, &TImage::SetProportional};
  Property<bool> Transparent{this, &TImage::GetTransparent, &TImage::SetTransparent};

 private:
  bool GetStretch() const { return stretch_; }
  void SetStretch(bool v);
  bool GetCenter() const { return center_; }
  void SetCenter(bool v);
  bool GetProportional() const { return proportional_; }
  void SetProportional(bool v);
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool v);

  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* AOwner);
  VCL_CLASS_NAME(TBevel)
  Property<TBevelShape> Shape{this, &TBevel::GetShape, &TBevel::SetShape};
  Property<TBevelStyle> Style{this, &TBevel::GetStyle, &TBevel::SetStyle};

 private:
  TBevelShape GetShape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle GetStyle() const { return style_; }
  void SetStyle(TBevelStyle v);

  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// A timer: while Enabled with Interval > 0 the widget set fires it every Interval milliseconds
// (vcl::input::FireTimer, which runs OnTimer when set; the headless widget set fires it only
// when a test asks). Changes reach the widget set through WidgetSet::TimerChanged.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  VCL_CLASS_NAME(TTimer)
  Property<bool> Enabled{this, &TTimer::GetEnabled, &TTimer::SetEnabled};
  Property<unsigned> Interval{this, &TTimer::GetInterval, &TTimer::SetInterval};
  TNotifyEvent OnTimer;
  // True when the timer runs (Enabled and Interval > 0).
  bool Active() const;

 protected:
  void Loaded() override;

 private:
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool v);
  unsigned GetInterval() const { return interval_; }
  void SetInterval(unsigned v);

  bool enabled_ = true;
  unsigned interval_ = 1000;
};
