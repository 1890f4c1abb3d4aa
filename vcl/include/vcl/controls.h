// Controls: the base of every visible element, window controls with handles and messages.
//
// A control is a plain C++ object that holds its properties. The widget set in use
// (vcl/widgetset.h) mirrors it on screen: the control tells the widget set what changed, and the
// widget set reports the user's input back through vcl::input.
#pragma once

#include <vector>

#include "platform/windows.h"
#include "vcl/classes.h"
#include "vcl/graphics.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
// Border styles of forms; controls use bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = Set<TAnchorKind>;
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateItem>;
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crHourGlass = -11;

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// A window message as a control's WndProc and Dispatch receive it.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};
using PMessage = TMessage*;

class TWinControl;
class TCustomForm;
class TPopupMenu;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  VCL_CLASS_NAME(TControl)

  // Setting Parent moves the control to the end of the new parent's children (the top of
  // its z-order); nullptr takes it off screen.
  Property<TWinControl*> Parent{this, &TControl::GetParent, &TControl::SetParent};
  Property<int> Left{this, &TControl::GetLeft, &TControl::SetLeft};
  Property<int> Top{this, &TControl::GetTop, &TControl::SetTop};
  Property<int> Width{this, &TControl::GetWidth, &TControl::SetWidth};
  Property<int> Height{this, &TControl::GetHeight, &TControl::SetHeight};
  // The inner size; a form's client area excludes its frame, caption and menu.
  Property<int> ClientWidth{this, &TControl::GetClientWidth, &TControl::SetClientWidth};
  Property<int> ClientHeight{this, &TControl::GetClientHeight, &TControl::SetClientHeight};
  // Caption and Text are one text, as in the class library: a label's or button's caption,
  // an edit's or combo box's text, a form's title.
  Property<AnsiString> Caption{this, &TControl::GetText, &TControl::SetText};
  Property<AnsiString> Text{this, &TControl::GetText, &TControl::SetText};
  Property<AnsiString> Hint{this, &TControl::GetHint, &TControl::SetHint};
  // Whether the hint pops up; with ParentShowHint (the default) the parent's ShowHint holds.
  Property<bool> ShowHint{this, &TControl::GetShowHint, &TControl::SetShowHint};
  Property<bool> ParentShowHint{this, &TControl::GetParentShowHint, &TControl::SetParentShowHint};
  Property<bool> Visible{this, &TControl::GetVisible, &TControl::SetVisible};
  Property<bool> Enabled{this, &TControl::GetEnabled, &TControl::SetEnabled};
  Property<TColor> Color{this, &TControl::GetColor, &TControl::SetColor};
  Property<bool> ParentColor{this, &TControl::GetParentColor, &TControl::SetParentColor};
  // Owned by the control. With ParentFont (the default) it follows the parent's font; changing
  // the font itself turns ParentFont off.
  TFont* const Font;
  Property<bool> ParentFont{this, &TControl::GetParentFont, &TControl::SetParentFont};
  // The library lays out aligned children (alTop, alBottom, alLeft, alRight, alClient) within
  // their parent's client area, in that order, each group in the order of its position.
  Property<TAlign> Align{this, &TControl::GetAlign, &TControl::SetAlign};
  Property<TAnchors> Anchors{this, &TControl::GetAnchors, &TControl::SetAnchors};
  Property<bool> AutoSize{this, &TControl::GetAutoSize, &TControl::SetAutoSize};
  Property<TPopupMenu*> PopupMenu{this, &TControl::GetPopupMenu, &TControl::SetPopupMenu};
  Property<TCursor> Cursor{this, &TControl::GetCursor, &TControl::SetCursor};
  Property<TDragMode> DragMode{this, &TControl::GetDragMode, &TControl::SetDragMode};
  Property<TDragKind> DragKind{this, &TControl::GetDragKind, &TControl::SetDragKind};
  // True when the control and every parent up to its form are visible and the form is shown.
  ReadOnlyProperty<bool> Showing{this, &TControl::GetShowing};

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

  virtual void Show();
  virtual void Hide();
  // Moves the control to the top (or bottom) of its parent's z-order.
  void BringToFront();
  void SendToBack();
  // Repaints the control at once through the widget set: the only way the screen changes
  // while a handler blocks the GUI thread. Repaint and Update do the same; Invalidate asks
  // for a repaint when the loop next runs.
  void Refresh();
  void Repaint();
  void Update();
  void Invalidate();
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // Runs OnClick (the user's click arrives through vcl::input::Click).
  virtual void Click();
  // The form that the control sits on, or nullptr.
  TCustomForm* ParentForm() const;

  // Messages: WndProc receives every message sent or posted to the control's window; by
  // default it passes the message to Dispatch, which a form class overrides (or fills with
  // BEGIN_MESSAGE_MAP ... END_MESSAGE_MAP) to handle its own messages and passes the rest to
  // the inherited Dispatch, which ends in DefaultHandler (Result 0).
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(void* Message);
  virtual void DefaultHandler(void* Message);
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

  // The effective values that the widget set shows.
  bool EffectiveShowHint() const;

  // Library internals (the form-description reader, the widget-set entry points).
  void SetTextFromUser(const AnsiString& value);

 protected:
  virtual AnsiString GetText() const { return text_; }
  virtual void SetText(const AnsiString& value);
  // Called after the text changed (by code or by the user).
  virtual void TextChanged() {}
  virtual void VisibleChanged() {}
  virtual void BoundsChanged() {}
  virtual bool GetShowing() const;
  virtual int GetClientWidth() const { return width_; }
  virtual int GetClientHeight() const { return height_; }
  virtual void SetClientWidth(int v) { SetWidth(v); }
  virtual void SetClientHeight(int v) { SetHeight(v); }
  void Loaded() override;
  // Font changes of the parent reach children that follow it.
  void ParentFontChanged(const TFont& parent_font);
  void ParentColorChanged(TColor parent_color);

  AnsiString text_;

 private:
  friend class TWinControl;
  friend class TCustomForm;
  TWinControl* GetParent() const { return parent_; }
  void SetParent(TWinControl* value);
  int GetLeft() const { return left_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  int GetTop() const { return top_; }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  int GetWidth() const { return width_; }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  int GetHeight() const { return height_; }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  AnsiString GetHint() const { return hint_; }
  void SetHint(const AnsiString& v);
  bool GetShowHint() const { return show_hint_; }
  void SetShowHint(bool v);
  bool GetParentShowHint() const { return parent_show_hint_; }
  void SetParentShowHint(bool v);
  bool GetVisible() const { return visible_; }
  void SetVisible(bool v);
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool v);
  TColor GetColor() const { return color_; }
  void SetColor(TColor v);
  bool GetParentColor() const { return parent_color_; }
  void SetParentColor(bool v);
  bool GetParentFont() const { return parent_font_; }
  void SetParentFont(bool v);
  TAlign GetAlign() const { return align_; }
  void SetAlign(TAlign v);
  TAnchors GetAnchors() const { return anchors_; }
  void SetAnchors(TAnchors v) { anchors_ = v; }
  bool GetAutoSize() const { return auto_size_; }
  void SetAutoSize(bool v);
  TPopupMenu* GetPopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* v) { popup_menu_ = v; }
  TCursor GetCursor() const { return cursor_; }
  void SetCursor(TCursor v) { cursor_ = v; }
  TDragMode GetDragMode() const { return drag_mode_; }
  void SetDragMode(TDragMode v) { drag_mode_ = v; }
  TDragKind GetDragKind() const { return drag_kind_; }
  void SetDragKind(TDragKind v) { drag_kind_ = v; }
  void FontChanged();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  AnsiString hint_;
  bool show_hint_ = false;
  bool parent_show_hint_ = true;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  bool parent_color_ = true;
  bool parent_font_ = true;
  bool font_from_parent_ = false;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  bool auto_size_ = false;
  TPopupMenu* popup_menu_ = nullptr;
  TCursor cursor_ = crDefault;
  TDragMode drag_mode_ = dmManual;
  TDragKind drag_kind_ = dkDrag;
};

// A control without a window of its own (labels, speed buttons, images, bevels).
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  VCL_CLASS_NAME(TGraphicControl)
};

// A control with a window: it has a Handle, children, focus and keyboard events.
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  VCL_CLASS_NAME(TWinControl)

  // Children in z-order, bottom first.
  ReadOnlyIndexedProperty<TControl*> Controls{this, &TWinControl::GetControl};
  ReadOnlyProperty<int> ControlCount{this, &TWinControl::GetControlCount};
  // The window handle, created on first use and registered for PostMessageA / SendMessageA.
  ReadOnlyProperty<HWND> Handle{this, &TWinControl::GetHandle};
  Property<int> TabOrder{this, &TWinControl::GetTabOrder, &TWinControl::SetTabOrder};
  Property<bool> TabStop{this, &TWinControl::GetTabStop, &TWinControl::SetTabStop};

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Moves the keyboard focus here: the control that had it gets OnExit, this one OnEnter.
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();
  bool Focused() const;
  bool CanFocus() const;
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Lays out the aligned children again (done by the library after every change that
  // matters; public for widget sets that resize a control).
  void AlignControls();

 protected:
  TControl* GetControl(int index) const;
  int GetControlCount() const { return static_cast<int>(controls_.size()); }
  HWND GetHandle() const;
  void BoundsChanged() override;
  void Loaded() override;
  // Called when the control gains or loses the keyboard focus.
  virtual void DoEnter();
  virtual void DoExit();
  // The area in which aligned children are laid out (relative to the control).
  virtual void ClientArea(int& left, int& top, int& width, int& height) const;
  // Called after the children were laid out (a form that sizes itself to them).
  virtual void ContentsChanged() {}

 private:
  friend class TControl;
  friend class TCustomForm;
  int GetTabOrder() const { return tab_order_; }
  void SetTabOrder(int v) { tab_order_ = v; }
  bool GetTabStop() const { return tab_stop_; }
  void SetTabStop(bool v) { tab_stop_ = v; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void MoveControl(TControl* control, bool to_front);

  std::vector<TControl*> controls_;
  mutable HWND handle_ = nullptr;
  int tab_order_ = -1;
  bool tab_stop_ = true;
  bool aligning_ = false;
};

// A window control that draws itself (panels).
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  VCL_CLASS_NAME(TCustomControl)
};

// A form's own message map, as in
//   BEGIN_MESSAGE_MAP
//     VCL_MESSAGE_HANDLER(WM_SERIAL_NOTIFY, TMessage, wm_serial_notify)
//   END_MESSAGE_MAP(TForm)
// inside the class: it overrides Dispatch, calls the handler for its messages and passes the
// others to the base class.
#define BEGIN_MESSAGE_MAP                 \
  void Dispatch(void* Message) override { \
    switch (static_cast<TMessage*>(Message)->Msg) {
#define VCL_MESSAGE_HANDLER(msg, type, method) \
  case msg:                                    \
    method(*static_cast<type*>(Message));      \
    break;
#define END_MESSAGE_MAP(base) \
  default:                    \
    base::Dispatch(Message);  \
    break;                    \
    }                         \
    }
