// Common controls: track bars, progress bars, status bars, tool bars, page controls, the rich
// edit.
#pragma once

#include "vcl/controls.h"
#include "vcl/stdctrls.h"

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };

// A track bar. Position is kept within Min .. Max (a value outside is clamped; changing Min or
// Max moves Position into the new range). OnChange runs when the user moves the bar to another
// position; a position set by code runs no handler, as the native control notifies its parent
// only of the user's moves (a handler that sets the position keeps what its caller wrote).
class TTrackBar : public TWinControl {
 public:
  explicit TTrackBar(TComponent* AOwner);
  VCL_CLASS_NAME(TTrackBar)
  Property<int> Min{this, &TTrackBar::GetMin, &TTrackBar::SetMin};
  Property<int> Max{this, &TTrackBar::GetMax, &TTrackBar::SetMax};
  Property<int> Position{this, &TTrackBar::GetPosition, &TTrackBar::SetPosition};
  Property<int> Frequency{this, &TTrackBar::GetFrequency, &TTrackBar::SetFrequency};
  Property<int> LineSize{[this] { return line_size_; }, [this](int v) { line_size_ = v; }};
  Property<int> PageSize{[this] { return page_size_; }, [this](int v) { page_size_ = v; }};
  Property<TTrackBarOrientation> Orientation{this, &TTrackBar::GetOrientation,
                                             &TTrackBar::SetOrientation};
  Property<TTickStyle> TickStyle{this, &TTrackBar::GetTickStyle, &TTrackBar::SetTickStyle};
  Property<TTickMark> TickMarks{this, &TTrackBar::GetTickMarks, &TTrackBar::SetTickMarks};
  Property<int> SelStart{[this] { return sel_start_; }, [this](int v) { sel_start_ = v; }};
  Property<int> SelEnd{[this] { return sel_end_; }, [this](int v) { sel_end_ = v; }};
  TNotifyEvent OnChange;

  // Library internals: the user moved the bar (vcl::input::Move).
  void UserMove(int position);

 protected:
  void Loaded() override;

 private:
  int GetMin() const { return min_; }
  void SetMin(int v);
  int GetMax() const { return max_; }
  void SetMax(int v);
  int GetPosition() const { return position_; }
  void SetPosition(int v);
  int GetFrequency() const { return frequency_; }
  void SetFrequency(int v);
  TTrackBarOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TTrackBarOrientation v);
  TTickStyle GetTickStyle() const { return tick_style_; }
  void SetTickStyle(TTickStyle v);
  TTickMark GetTickMarks() const { return tick_marks_; }
  void SetTickMarks(TTickMark v);
  // Clamps and stores the position; true when it changed.
  bool ApplyPosition(int v);

  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int frequency_ = 1;
  int line_size_ = 1;
  int page_size_ = 2;
  TTrackBarOrientation orientation_ = trHorizontal;
  TTickStyle tick_style_ = tsAuto;
  TTickMark tick_marks_ = tmBottomRight;
  int sel_start_ = 0;
  int sel_end_ = 0;
};

enum TProgressBarOrientation { pbHorizontal, pbVertical };

// A progress bar; Position is kept within Min .. Max.
class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* AOwner);
  VCL_CLASS_NAME(TProgressBar)
  Property<int> Min{this, &TProgressBar::GetMin, &TProgressBar::SetMin};
  Property<int> Max{this, &TProgressBar::GetMax, &TProgressBar::SetMax};
  Property<int> Position{this, &TProgressBar::GetPosition, &TProgressBar::SetPosition};
  Property<int> Step{[this] { return step_; }, [this](int v) { step_ = v; }};
  Property<TProgressBarOrientation> Orientation{this, &TProgressBar::GetOrientation,
                                                &TProgressBar::SetOrientation};
  Property<bool> Smooth{this, &TProgressBar::GetSmooth, &TProgressBar::SetSmooth};
  void StepIt();
  void StepBy(int Delta);

 protected:
  void Loaded() override;

 private:
  int GetMin() const { return min_; }
  void SetMin(int v);
  int GetMax() const { return max_; }
  void SetMax(int v);
  int GetPosition() const { return position_; }
  void SetPosition(int v);
  TProgressBarOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation v);
  bool GetSmooth() const { return smooth_; }
  void SetSmooth(bool v);

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
  TProgressBarOrientation orientation_ = pbHorizontal;
  bool smooth_ = false;
};

class TStatusBar;
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusPanel : public TCollectionItem {
 public:
  explicit TStatusPanel(TCollection* ACollection);
  VCL_CLASS_NAME(TStatusPanel)
  Property<AnsiString> Text{this, &TStatusPanel::GetText, &TStatusPanel::SetText};
  Property<int> Width{this, &TStatusPanel::GetWidth, &TStatusPanel::SetWidth};
  Property<TAlignment> Alignment{this, &TStatusPanel::GetAlignment, &TStatusPanel::SetAlignment};
  Property<TStatusPanelBevel> Bevel{this, &TStatusPanel::GetBevel, &TStatusPanel::SetBevel};
  Property<TStatusPanelStyle> Style{this, &TStatusPanel::GetStyle, &TStatusPanel::SetStyle};

 private:
  AnsiString GetText() const { return text_; }
  void SetText(const AnsiString& v);
  int GetWidth() const { return width_; }
  void SetWidth(int v);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TStatusPanelBevel GetBevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel v);
  TStatusPanelStyle GetStyle() const { return style_; }
  void SetStyle(TStatusPanelStyle v);

  AnsiString text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
  TStatusPanelStyle style_ = psText;
};

// The panels of a status bar: StatusBar1->Panels->Items[0]->Text = "...".
class TStatusPanels : public TCollection {
 public:
  explicit TStatusPanels(TStatusBar* AOwner);
  VCL_CLASS_NAME(TStatusPanels)
  // An index out of range raises EListError.
  ReadOnlyIndexedProperty<TStatusPanel*> Items{this, &TStatusPanels::GetPanel};
  TStatusPanel* Add();

 private:
  TStatusPanel* GetPanel(int index) const;
};

// A status bar (aligned to the bottom unless told otherwise). Changes of its panels reach the
// widget set as Change::Panels with the panel's index (-1: the panel list changed).
class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  VCL_CLASS_NAME(TStatusBar)
  TStatusPanels* const Panels;
  Property<bool> SimplePanel{this, &TStatusBar::GetSimplePanel, &TStatusBar::SetSimplePanel};
  Property<AnsiString> SimpleText{this, &TStatusBar::GetSimpleText, &TStatusBar::SetSimpleText};
  Property<bool> SizeGrip{[this] { return size_grip_; }, [this](bool v) { size_grip_ = v; }};

 private:
  bool GetSimplePanel() const { return simple_panel_; }
  void SetSimplePanel(bool v);
  AnsiString GetSimpleText() const { return simple_text_; }
  void SetSimpleText(const AnsiString& v);

  bool simple_panel_ = false;
  AnsiString simple_text_;
  bool size_grip_ = true;
};

class TToolButton;

// A tool bar (aligned to the top unless told otherwise). Its children are tool buttons, speed
// buttons, separators and other controls, placed where the description puts them.
class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* AOwner);
  VCL_CLASS_NAME(TToolBar)
  Property<int> ButtonWidth{this, &TToolBar::GetButtonWidth, &TToolBar::SetButtonWidth};
  Property<int> ButtonHeight{this, &TToolBar::GetButtonHeight, &TToolBar::SetButtonHeight};
  Property<bool> Flat{this, &TToolBar::GetFlat, &TToolBar::SetFlat};
  Property<bool> ShowCaptions{this, &TToolBar::GetShowCaptions, &TToolBar::SetShowCaptions};
  Property<bool> Wrapable{[this] { return wrapable_; }, [this](bool v) { wrapable_ = v; }};
  Property<int> Indent{[this] { return indent_; }, [this](int v) { indent_ = v; }};
  // The tool buttons among the children, in child order.
  ReadOnlyIndexedProperty<TToolButton*> Buttons{this, &TToolBar::GetButton};
  ReadOnlyProperty<int> ButtonCount{this, &TToolBar::GetButtonCount};

 private:
  int GetButtonWidth() const { return button_width_; }
  void SetButtonWidth(int v);
  int GetButtonHeight() const { return button_height_; }
  void SetButtonHeight(int v);
  bool GetFlat() const { return flat_; }
  void SetFlat(bool v);
  bool GetShowCaptions() const { return show_captions_; }
  void SetShowCaptions(bool v);
  TToolButton* GetButton(int index) const;
  int GetButtonCount() const;

  int button_width_ = 23;
  int button_height_ = 22;
  bool flat_ = false;
  bool show_captions_ = false;
  bool wrapable_ = true;
  int indent_ = 0;
};

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
 public:
  explicit TToolButton(TComponent* AOwner);
  VCL_CLASS_NAME(TToolButton)
  Property<TToolButtonStyle> Style{this, &TToolButton::GetStyle, &TToolButton::SetStyle};
  Property<int> ImageIndex{[this] { return image_index_; }, [this](int v) { image_index_ = v; }};
  // A tbsCheck button's state; clicking it toggles.
  Property<bool> Down{this, &TToolButton::GetDown, &TToolButton::SetDown};
  Property<bool> Grouped{[this] { return grouped_; }, [this](bool v) { grouped_ = v; }};
  void Click() override;

 private:
  TToolButtonStyle GetStyle() const { return style_; }
  void SetStyle(TToolButtonStyle v);
  bool GetDown() const { return down_; }
  void SetDown(bool v);

  TToolButtonStyle style_ = tbsButton;
  int image_index_ = -1;
  bool down_ = false;
  bool grouped_ = false;
};

class TPageControl;

// One page of a page control; its PageControl (set by the description or by code) is its
// parent.
class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  VCL_CLASS_NAME(TTabSheet)
  Property<TPageControl*> PageControl{this, &TTabSheet::GetPageControl, &TTabSheet::SetPageControl};
  // The position among the page control's pages.
  ReadOnlyProperty<int> PageIndex{this, &TTabSheet::GetPageIndex};
  Property<bool> TabVisible{this, &TTabSheet::GetTabVisible, &TTabSheet::SetTabVisible};
  Property<int> ImageIndex{[this] { return image_index_; }, [this](int v) { image_index_ = v; }};

 protected:
  bool GetShowing() const override;

 private:
  TPageControl* GetPageControl() const;
  void SetPageControl(TPageControl* v);
  int GetPageIndex() const;
  bool GetTabVisible() const { return tab_visible_; }
  void SetTabVisible(bool v);

  bool tab_visible_ = true;
  int image_index_ = -1;
};

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

// Pages with tabs; only the active page shows. While no page was chosen, or when the chosen
// one left, the first page is the active one (widget sets re-read ActivePage when a tab sheet
// is inserted or removed).
class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  VCL_CLASS_NAME(TPageControl)
  Property<TTabSheet*> ActivePage{this, &TPageControl::GetActivePage, &TPageControl::SetActivePage};
  Property<int> ActivePageIndex{this, &TPageControl::GetActivePageIndex,
                                &TPageControl::SetActivePageIndex};
  ReadOnlyIndexedProperty<TTabSheet*> Pages{this, &TPageControl::GetPage};
  ReadOnlyProperty<int> PageCount{this, &TPageControl::GetPageCount};
  Property<bool> MultiLine{[this] { return multi_line_; }, [this](bool v) { multi_line_ = v; }};
  Property<TTabPosition> TabPosition{[this] { return tab_position_; },
                                     [this](TTabPosition v) { tab_position_ = v; }};
  // Runs after the user chose another page.
  TNotifyEvent OnChange;

  // Library internals: the user chose a page (vcl::input::Pick).
  void UserSelect(int index);

 protected:
  void ClientArea(int& left, int& top, int& width, int& height) const override;
  void Loaded() override;

 private:
  friend class TTabSheet;
  TTabSheet* GetActivePage() const;
  void SetActivePage(TTabSheet* v);
  int GetActivePageIndex() const;
  void SetActivePageIndex(int v);
  TTabSheet* GetPage(int index) const;
  int GetPageCount() const;
  void PageRemoved(TTabSheet* page);

  TTabSheet* active_ = nullptr;
  int pending_index_ = -1;
  bool multi_line_ = false;
  TTabPosition tab_position_ = tpTop;
};

// A rich edit: a memo whose font the widget set honours as a whole (a fixed-pitch Font.Name
// such as 'Courier New' shows as a fixed-pitch font).
class TRichEdit : public TCustomMemo {
 public:
  explicit TRichEdit(TComponent* AOwner);
  VCL_CLASS_NAME(TRichEdit)
  Property<bool> PlainText{[this] { return plain_text_; }, [this](bool v) { plain_text_ = v; }};
  Property<bool> HideSelection{[this] { return hide_selection_; },
                               [this](bool v) { hide_selection_ = v; }};

 private:
  bool plain_text_ = false;
  bool hide_selection_ = true;
};
