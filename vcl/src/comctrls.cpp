#include "vcl/comctrls.h"

#include <algorithm>

#include "gui_internal.h"
#include "published.h"

using vcl::Change;

// ---- TTrackBar ----

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 150, 45);
}

bool TTrackBar::ApplyPosition(int v) {
  if (Loading()) {
    position_ = v;
    return false;
  }
  v = std::clamp(v, min_, std::max(min_, max_));
  if (v == position_) return false;
  position_ = v;
  Changed(Change::Position);
  return true;
}

void TTrackBar::SetPosition(int v) {
  ApplyPosition(v);
}

void TTrackBar::UserMove(int position) {
  if (ApplyPosition(position) && OnChange) OnChange(this);
}

void TTrackBar::SetMin(int v) {
  if (v == min_) return;
  min_ = v;
  if (Loading()) return;
  if (max_ < min_) max_ = min_;
  Changed(Change::Range);
  ApplyPosition(position_);
}

void TTrackBar::SetMax(int v) {
  if (v == max_) return;
  max_ = v;
  if (Loading()) return;
  if (min_ > max_) min_ = max_;
  Changed(Change::Range);
  ApplyPosition(position_);
}

void TTrackBar::Loaded() {
  TWinControl::Loaded();
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(position_, min_, max_);
}

void TTrackBar::SetFrequency(int v) {
  StoreShown(frequency_, v, Change::Range);
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
  StoreShown(orientation_, v, Change::Style);
}

void TTrackBar::SetTickStyle(TTickStyle v) {
  StoreShown(tick_style_, v, Change::Range);
}

void TTrackBar::SetTickMarks(TTickMark v) {
  StoreShown(tick_marks_, v, Change::Range);
}

// ---- TProgressBar ----

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetPosition(int v) {
  if (!Loading()) v = std::clamp(v, min_, std::max(min_, max_));
  if (v == position_) return;
  position_ = v;
  Changed(Change::Position);
}

void TProgressBar::SetMin(int v) {
  if (v == min_) return;
  min_ = v;
  if (Loading()) return;
  if (max_ < min_) max_ = min_;
  Changed(Change::Range);
  SetPosition(position_);
}

void TProgressBar::SetMax(int v) {
  if (v == max_) return;
  max_ = v;
  if (Loading()) return;
  if (min_ > max_) min_ = max_;
  Changed(Change::Range);
  SetPosition(position_);
}

void TProgressBar::Loaded() {
  TWinControl::Loaded();
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(position_, min_, max_);
}

void TProgressBar::StepIt() {
  StepBy(step_);
}

void TProgressBar::StepBy(int Delta) {
  // Stepping past the end wraps around to the start, as the common control does.
  int v = position_ + Delta;
  if (v > max_) v = min_ + (v - max_ - 1) % std::max(1, max_ - min_ + 1);
  SetPosition(v);
}

void TProgressBar::SetOrientation(TProgressBarOrientation v) {
  StoreShown(orientation_, v, Change::Style);
}

void TProgressBar::SetSmooth(bool v) {
  StoreShown(smooth_, v, Change::Style);
}

// ---- Status bar ----

TStatusPanel::TStatusPanel(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TStatusPanel::SetText(const AnsiString& v) {
  if (vcl::detail::Store(text_, v)) Changed();
}

void TStatusPanel::SetWidth(int v) {
  if (vcl::detail::Store(width_, v)) Changed();
}

void TStatusPanel::SetAlignment(TAlignment v) {
  if (vcl::detail::Store(alignment_, v)) Changed();
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (vcl::detail::Store(bevel_, v)) Changed();
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
  if (vcl::detail::Store(style_, v)) Changed();
}

TStatusPanels::TStatusPanels(TStatusBar* AOwner)
    : TCollection([](TCollection* c) -> TCollectionItem* { return new TStatusPanel(c); },
                  [AOwner](TCollectionItem* item) {
                    AOwner->Changed(Change::Panels, item ? item->Index() : -1);
                  }) {}

TStatusPanel* TStatusPanels::GetPanel(int index) const {
  return static_cast<TStatusPanel*>(TCollection::Items[index]);
}

TStatusPanel* TStatusPanels::Add() {
  return static_cast<TStatusPanel*>(TCollection::Add());
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner), Panels(new TStatusPanels(this)) {
  SetBounds(0, 0, 150, 19);
  Align = alBottom;
}

TStatusBar::~TStatusBar() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  delete Panels;
}

void TStatusBar::SetSimplePanel(bool v) {
  if (v == simple_panel_) return;
  simple_panel_ = v;
  Changed(Change::Panels, -1);
}

void TStatusBar::SetSimpleText(const AnsiString& v) {
  if (v == simple_text_) return;
  simple_text_ = v;
  Changed(Change::Panels, -1);
}

// ---- Tool bar ----

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 150, 29);
  Align = alTop;
}

void TToolBar::SetButtonWidth(int v) {
  StoreShown(button_width_, v, Change::Style);
}

void TToolBar::SetButtonHeight(int v) {
  StoreShown(button_height_, v, Change::Style);
}

void TToolBar::SetFlat(bool v) {
  StoreShown(flat_, v, Change::Style);
}

void TToolBar::SetShowCaptions(bool v) {
  StoreShown(show_captions_, v, Change::Style);
}

TToolButton* TToolBar::GetButton(int index) const {
  int n = 0;
  for (int i = 0; i < ControlCount; ++i)
    if (auto* b = dynamic_cast<TToolButton*>(Controls[i]))
      if (n++ == index) return b;
  throw EListError("List index out of bounds (" + AnsiString(index) + ")");
}

int TToolBar::GetButtonCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount; ++i)
    if (dynamic_cast<TToolButton*>(Controls[i])) ++n;
  return n;
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 23, 22);
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  StoreShown(style_, v, Change::Style);
}

void TToolButton::SetDown(bool v) {
  StoreShown(down_, v, Change::Checked);
}

void TToolButton::Click() {
  if (style_ == tbsSeparator || style_ == tbsDivider) return;
  if (style_ == tbsCheck) SetDown(!down_);
  TGraphicControl::Click();
}

// ---- Pages ----

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {}

TTabSheet::~TTabSheet() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
}

TPageControl* TTabSheet::GetPageControl() const {
  return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetPageControl(TPageControl* v) {
  Parent = v;
}

int TTabSheet::GetPageIndex() const {
  TPageControl* pc = GetPageControl();
  if (!pc) return -1;
  for (int i = 0; i < pc->PageCount; ++i)
    if (pc->Pages[i] == this) return i;
  return -1;
}

void TTabSheet::SetTabVisible(bool v) {
  StoreShown(tab_visible_, v, Change::Visible);
}

bool TTabSheet::GetShowing() const {
  TPageControl* pc = GetPageControl();
  return Visible() && pc && pc->ActivePage() == this && pc->Showing();
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 289, 193);
}

void TPageControl::ClientArea(int& left, int& top, int& width, int& height) const {
  left = 4;
  top = 24;
  width = GetClientWidth() - 8;
  height = GetClientHeight() - 28;
}

TTabSheet* TPageControl::GetActivePage() const {
  if (active_)
    for (int i = 0; i < ControlCount; ++i)
      if (Controls[i] == active_) return active_;
  return GetPageCount() > 0 ? GetPage(0) : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* v) {
  if (v && v->PageControl() != this) return;
  if (v == GetActivePage() && v == active_) return;
  active_ = v;
  Changed(Change::ActivePage);
}

int TPageControl::GetActivePageIndex() const {
  TTabSheet* page = GetActivePage();
  return page ? page->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int v) {
  if (Loading()) {
    pending_index_ = v;
    return;
  }
  SetActivePage(v >= 0 && v < GetPageCount() ? GetPage(v) : nullptr);
}

TTabSheet* TPageControl::GetPage(int index) const {
  int n = 0;
  for (int i = 0; i < ControlCount; ++i)
    if (auto* page = dynamic_cast<TTabSheet*>(Controls[i]))
      if (n++ == index) return page;
  throw EListError("List index out of bounds (" + AnsiString(index) + ")");
}

int TPageControl::GetPageCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount; ++i)
    if (dynamic_cast<TTabSheet*>(Controls[i])) ++n;
  return n;
}

void TPageControl::UserSelect(int index) {
  if (index < 0 || index >= GetPageCount()) return;
  TTabSheet* page = GetPage(index);
  if (page == GetActivePage()) return;
  SetActivePage(page);
  if (OnChange) OnChange(this);
}

void TPageControl::Loaded() {
  TWinControl::Loaded();
  if (pending_index_ >= 0 && pending_index_ < GetPageCount()) active_ = GetPage(pending_index_);
  pending_index_ = -1;
}

void TPageControl::PageRemoved(TTabSheet* page) {
  if (active_ == page) active_ = nullptr;
}

// ---- TRichEdit ----

TRichEdit::TRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> ComCtrlsTables() {
  static const ClassTable tables[] = {
      Publish<TStatusPanel>("TStatusPanel", "TPersistent", Creation::kBaseOnly)
          .prop("Text", &TStatusPanel::Text)
          .prop("Width", &TStatusPanel::Width)
          .prop("Alignment", &TStatusPanel::Alignment)
          .prop("Bevel", &TStatusPanel::Bevel)
          .prop("Style", &TStatusPanel::Style),
      Publish<TRichEdit>("TRichEdit", "TCustomMemo")
          .prop("PlainText", &TRichEdit::PlainText)
          .prop("HideSelection", &TRichEdit::HideSelection),
      Publish<TTrackBar>("TTrackBar", "TWinControl")
          .prop("Min", &TTrackBar::Min)
          .prop("Max", &TTrackBar::Max)
          .prop("Position", &TTrackBar::Position)
          .prop("Frequency", &TTrackBar::Frequency)
          .prop("LineSize", &TTrackBar::LineSize)
          .prop("PageSize", &TTrackBar::PageSize)
          .prop("Orientation", &TTrackBar::Orientation)
          .prop("TickStyle", &TTrackBar::TickStyle)
          .prop("TickMarks", &TTrackBar::TickMarks)
          .prop("SelStart", &TTrackBar::SelStart)
          .prop("SelEnd", &TTrackBar::SelEnd)
          .event("OnChange", &TTrackBar::OnChange),
      Publish<TProgressBar>("TProgressBar", "TWinControl")
          .prop("Min", &TProgressBar::Min)
          .prop("Max", &TProgressBar::Max)
          .prop("Position", &TProgressBar::Position)
          .prop("Step", &TProgressBar::Step)
          .prop("Orientation", &TProgressBar::Orientation)
          .prop("Smooth", &TProgressBar::Smooth),
      Publish<TStatusBar>("TStatusBar", "TWinControl")
          .custom("Panels",
                  [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                    if (v.kind != dfm::Value::Collection)
                      Bad(ctx, v.line, prop, "Collection expected");
                    TStatusPanels* panels = static_cast<TStatusBar*>(obj)->Panels;
                    panels->Clear();
                    for (const auto& item : v.collection) {
                      TStatusPanel* panel = panels->Add();
                      ApplyProperties(panel, "TStatusPanel", item, ctx);
                    }
                  })
          .prop("SimplePanel", &TStatusBar::SimplePanel)
          .prop("SimpleText", &TStatusBar::SimpleText)
          .prop("SizeGrip", &TStatusBar::SizeGrip),
      Publish<TToolBar>("TToolBar", "TWinControl")
          .prop("ButtonWidth", &TToolBar::ButtonWidth)
          .prop("ButtonHeight", &TToolBar::ButtonHeight)
          .prop("Flat", &TToolBar::Flat)
          .prop("ShowCaptions", &TToolBar::ShowCaptions)
          .prop("Wrapable", &TToolBar::Wrapable)
          .prop("Indent", &TToolBar::Indent)
          .ignore({"EdgeBorders", "Images"}),
      Publish<TToolButton>("TToolButton", "TControl")
          .prop("Style", &TToolButton::Style)
          .prop("ImageIndex", &TToolButton::ImageIndex)
          .prop("Down", &TToolButton::Down)
          .prop("Grouped", &TToolButton::Grouped),
      Publish<TPageControl>("TPageControl", "TWinControl")
          .prop("ActivePage", &TPageControl::ActivePage)
          .prop("ActivePageIndex", &TPageControl::ActivePageIndex)
          .prop("MultiLine", &TPageControl::MultiLine)
          .prop("TabPosition", &TPageControl::TabPosition)
          .event("OnChange", &TPageControl::OnChange)
          .ignore({"Images"}),
      Publish<TTabSheet>("TTabSheet", "TWinControl")
          .prop("PageControl", &TTabSheet::PageControl)
          .prop("TabVisible", &TTabSheet::TabVisible)
          .prop("ImageIndex", &TTabSheet::ImageIndex),
  };
  return tables;
}

}  // namespace vcl::detail
