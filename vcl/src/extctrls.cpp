#include "vcl/extctrls.h"

#include "gui_internal.h"
#include "published.h"

using vcl::Change;

// ---- TPanel ----

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 185, 41);
}

void TPanel::ClientArea(int& left, int& top, int& width, int& height) const {
  int inset = border_width_ + (bevel_outer_ != bvNone ? bevel_width_ : 0) +
              (bevel_inner_ != bvNone ? bevel_width_ : 0) + (border_style_ == bsSingle ? 1 : 0);
  left = inset;
  top = inset;
  width = GetClientWidth() - 2 * inset;
  height = GetClientHeight() - 2 * inset;
}

void TPanel::SetBevelInner(TPanelBevel v) {
  if (StoreShown(bevel_inner_, v, Change::Style)) AlignControls();
}

void TPanel::SetBevelOuter(TPanelBevel v) {
  if (StoreShown(bevel_outer_, v, Change::Style)) AlignControls();
}

void TPanel::SetBevelWidth(int v) {
  if (v < 1) v = 1;
  if (StoreShown(bevel_width_, v, Change::Style)) AlignControls();
}

void TPanel::SetBorderWidth(int v) {
  if (v < 0) v = 0;
  if (StoreShown(border_width_, v, Change::Style)) AlignControls();
}

void TPanel::SetBorderStyle(TBorderStyle v) {
  if (StoreShown(border_style_, v, Change::Style)) AlignControls();
}

void TPanel::SetAlignment(TAlignment v) {
  StoreShown(alignment_, v, Change::Style);
}

// ---- TRadioGroup ----

TRadioGroup::TRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner),
      Items(new vcl::detail::NotifyingList([this](int added) { ItemsChanged(added); })) {}

TRadioGroup::~TRadioGroup() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  delete Items;
}

void TRadioGroup::ItemsChanged(int added_index) {
  if (Destroying() || Loading()) return;
  if (added_index >= 0)
    Changed(Change::ItemAdded, added_index);
  else
    Changed(Change::Items);
  if (item_index_ >= Items->Count) {
    item_index_ = -1;
    Changed(Change::ItemIndex);
  }
}

void TRadioGroup::SetItemIndex(int v) {
  if (Loading()) {
    item_index_ = v;
    return;
  }
  if (v < -1) v = -1;
  if (v >= Items->Count) v = Items->Count - 1;
  if (v == item_index_) return;
  item_index_ = v;
  Changed(Change::ItemIndex);
  Click();
}

void TRadioGroup::UserSelect(int index) {
  if (index < 0 || index >= Items->Count) return;
  SetItemIndex(index);
}

void TRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  if (item_index_ < -1 || item_index_ >= Items->Count) item_index_ = -1;
}

void TRadioGroup::SetColumns(int v) {
  if (v < 1) v = 1;
  if (v > 16) v = 16;
  if (v == columns_) return;
  columns_ = v;
  Changed(Change::Style);
}

// ---- TImage ----

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), Picture(new TPicture) {
  SetBounds(0, 0, 105, 105);
  Picture->OnChange = [this](TObject*) { Changed(Change::Picture); };
}

TImage::~TImage() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  delete Picture;
}

void TImage::SetStretch(bool v) {
  StoreShown(stretch_, v, Change::Style);
}

void TImage::SetCenter(bool v) {
  StoreShown(center_, v, Change::Style);
}

void TImage::SetProportional(bool v) {
  StoreShown(proportional_, v, Change::Style);
}

void TImage::SetTransparent(bool v) {
  StoreShown(transparent_, v, Change::Style);
}

// ---- TBevel ----

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
  StoreShown(shape_, v, Change::Style);
}

void TBevel::SetStyle(TBevelStyle v) {
  StoreShown(style_, v, Change::Style);
}

// ---- TTimer ----

namespace {
void TellTimer(TTimer* timer) {
  if (vcl::WidgetSet* ws = vcl::CurrentWidgetSet()) ws->TimerChanged(timer);
}
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  if (!Loading()) TellTimer(this);
}

TTimer::~TTimer() {
  enabled_ = false;
  TellTimer(this);
}

bool TTimer::Active() const {
  return enabled_ && interval_ > 0 && !Loading();
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (!Loading()) TellTimer(this);
}

void TTimer::SetInterval(unsigned v) {
  if (v == interval_) return;
  interval_ = v;
  if (!Loading()) TellTimer(this);
}

void TTimer::Loaded() {
  TComponent::Loaded();
  TellTimer(this);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> ExtCtrlsTables() {
  static const ClassTable tables[] = {
      Publish<TPanel>("TPanel", "TWinControl")
          .prop("BevelInner", &TPanel::BevelInner)
          .prop("BevelOuter", &TPanel::BevelOuter)
          .prop("BevelWidth", &TPanel::BevelWidth)
          .prop("BorderWidth", &TPanel::BorderWidth)
          .prop("BorderStyle", &TPanel::BorderStyle)
          .prop("Alignment", &TPanel::Alignment),
      Publish<TRadioGroup>("TRadioGroup", "TWinControl")
          .sub("Items", &TRadioGroup::Items, "TStrings")
          .prop("ItemIndex", &TRadioGroup::ItemIndex)
          .prop("Columns", &TRadioGroup::Columns),
      Publish<TImage>("TImage", "TControl")
          .sub("Picture", &TImage::Picture, "TPicture")
          .prop("Stretch", &TImage::Stretch)
          .prop("Center", &TImage::Center)
          .prop("Proportional", &TImage::Proportional)
          .prop("Transparent", &TImage::Transparent),
      Publish<TBevel>("TBevel", "TControl")
          .prop("Shape", &TBevel::Shape)
          .prop("Style", &TBevel::Style),
      Publish<TTimer>("TTimer", "TComponent")
          .prop("Enabled", &TTimer::Enabled)
          .prop("Interval", &TTimer::Interval)
          .event("OnTimer", &TTimer::OnTimer),
  };
  return tables;
}

}  // namespace vcl::detail
