#include "vcl/controls.h"

#include <algorithm>

#include "gui_internal.h"
#include "published.h"
#include "vcl/forms.h"

using vcl::Change;

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), Font(new TFont) {
  Font->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  TCustomForm* form = ParentForm();
  if (form && form->ActiveControl() == this) form->FocusChanged(nullptr);
  if (parent_) {
    TWinControl* parent = parent_;
    parent->RemoveControl(this);
    if (align_ != alNone && visible_) parent->AlignControls();
  }
  Font->OnChange = nullptr;
  delete Font;
}

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetParent(TWinControl* value) {
  if (value == parent_) return;
  for (TControl* p = value; p; p = p->parent_)
    if (p == this) throw EInvalidOperation("A control cannot have itself or a child as its parent");
  if (parent_) {
    vcl::detail::UnrealizeTree(this);
    if (TCustomForm* form = ParentForm()) {
      if (auto* self = dynamic_cast<TWinControl*>(this)) {
        TWinControl* active = form->ActiveControl();
        for (TControl* a = active; a; a = a->parent_)
          if (a == self) {
            form->FocusChanged(nullptr);
            break;
          }
      }
    }
    TWinControl* old = parent_;
    old->RemoveControl(this);
    if (align_ != alNone) old->AlignControls();
  }
  if (value) {
    value->InsertControl(this);
    if (parent_font_) ParentFontChanged(*value->Font);
    if (parent_color_) ParentColorChanged(value->color_);
    if (value->Realized()) vcl::detail::RealizeTree(this);
    if (align_ != alNone) value->AlignControls();
  }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  BoundsChanged();
  Changed(Change::Bounds);
  if (parent_ && !Loading() && visible_ &&
      (align_ != alNone || dynamic_cast<TCustomForm*>(parent_)))
    parent_->AlignControls();
}

void TControl::SetText(const AnsiString& value) {
  if (value == text_) return;
  text_ = value;
  Changed(Change::Text);
  TextChanged();
}

void TControl::SetTextFromUser(const AnsiString& value) {
  SetText(value);
}

void TControl::SetHint(const AnsiString& v) {
  if (v == hint_) return;
  hint_ = v;
  Changed(Change::Hint);
}

void TControl::SetShowHint(bool v) {
  parent_show_hint_ = false;
  if (v == show_hint_) return;
  show_hint_ = v;
  Changed(Change::Hint);
}

void TControl::SetParentShowHint(bool v) {
  StoreShown(parent_show_hint_, v, Change::Hint);
}

bool TControl::EffectiveShowHint() const {
  const TControl* c = this;
  while (c->parent_show_hint_ && c->parent_) c = c->parent_;
  return c->show_hint_;
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed(Change::Visible);
  VisibleChanged();
  if (parent_ && !Loading()) {
    if (TCustomForm* form = ParentForm()) {
      TWinControl* active = form->ActiveControl();
      for (TControl* a = active; a && !v; a = a->parent_)
        if (a == this) {
          form->FocusChanged(nullptr);
          break;
        }
    }
    parent_->AlignControls();
  }
}

void TControl::SetEnabled(bool v) {
  StoreShown(enabled_, v, Change::Enabled);
}

void TControl::SetColor(TColor v) {
  parent_color_ = false;
  if (v == color_) return;
  color_ = v;
  Changed(Change::Color);
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TControl* child : self->controls_)
      if (child->parent_color_) child->ParentColorChanged(v);
}

void TControl::SetParentColor(bool v) {
  parent_color_ = v;
  if (v && parent_) ParentColorChanged(parent_->color_);
}

void TControl::ParentColorChanged(TColor parent_color) {
  if (color_ != parent_color) {
    color_ = parent_color;
    Changed(Change::Color);
  }
  parent_color_ = true;
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TControl* child : self->controls_)
      if (child->parent_color_) child->ParentColorChanged(parent_color);
}

void TControl::SetParentFont(bool v) {
  parent_font_ = v;
  if (v && parent_) ParentFontChanged(*parent_->Font);
}

void TControl::ParentFontChanged(const TFont& parent_font) {
  font_from_parent_ = true;
  Font->Assign(const_cast<TFont*>(&parent_font));
  font_from_parent_ = false;
  parent_font_ = true;
}

void TControl::FontChanged() {
  if (!font_from_parent_) parent_font_ = false;
  Changed(Change::Font);
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TControl* child : self->controls_)
      if (child->parent_font_) child->ParentFontChanged(*Font);
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  if (parent_ && !Loading()) parent_->AlignControls();
}

void TControl::SetAutoSize(bool v) {
  StoreShown(auto_size_, v, Change::Style);
}

bool TControl::GetShowing() const {
  return visible_ && parent_ && parent_->Showing();
}

void TControl::Show() {
  Visible = true;
}

void TControl::Hide() {
  Visible = false;
}

// A window without a parent (a form) is raised or lowered among the windows on screen.
void TControl::BringToFront() {
  if (parent_)
    parent_->MoveControl(this, true);
  else
    Changed(Change::ZOrder);
}

void TControl::SendToBack() {
  if (parent_)
    parent_->MoveControl(this, false);
  else
    Changed(Change::ZOrder, 0);
}

void TControl::Repaint() {
  if (!Realized()) return;
  if (vcl::WidgetSet* ws = vcl::CurrentWidgetSet()) ws->Repaint(this);
}

void TControl::Refresh() {
  Repaint();
}

void TControl::Update() {
  Repaint();
}

void TControl::Invalidate() {}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::WndProc(TMessage& Message) {
  Dispatch(&Message);
}

void TControl::Dispatch(void* Message) {
  DefaultHandler(Message);
}

void TControl::DefaultHandler(void* Message) {
  static_cast<TMessage*>(Message)->Result = 0;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::Loaded() {
  TComponent::Loaded();
}

// ---- TGraphicControl, TCustomControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  // Child controls go with their parent, whoever owns them.
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    delete child;  // takes itself out of controls_
  }
  if (handle_) {
    vcl::detail::ReleaseHandle(handle_);
    handle_ = nullptr;
  }
}

TControl* TWinControl::GetControl(int index) const {
  if (index < 0 || index >= static_cast<int>(controls_.size()))
    throw EListError("List index out of bounds (" + AnsiString(index) + ")");
  return controls_[static_cast<size_t>(index)];
}

HWND TWinControl::GetHandle() const {
  if (!handle_) handle_ = vcl::detail::AllocateHandle(const_cast<TWinControl*>(this));
  return handle_;
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it != controls_.end()) controls_.erase(it);
  control->parent_ = nullptr;
}

void TWinControl::MoveControl(TControl* control, bool to_front) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (to_front)
    controls_.push_back(control);
  else
    controls_.insert(controls_.begin(), control);
  control->Changed(Change::ZOrder);
}

bool TWinControl::CanFocus() const {
  TCustomForm* form = ParentForm();
  if (!form) return false;
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  return form->Showing();
}

bool TWinControl::Focused() const {
  TCustomForm* form = ParentForm();
  return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  TCustomForm* form = ParentForm();
  if (!CanFocus() || !form) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  form->FocusChanged(this);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::BoundsChanged() {
  AlignControls();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  AlignControls();
}

void TWinControl::ClientArea(int& left, int& top, int& width, int& height) const {
  left = 0;
  top = 0;
  width = GetClientWidth();
  height = GetClientHeight();
}

void TWinControl::AlignControls() {
  if (aligning_ || Loading() || Destroying()) return;
  aligning_ = true;
  int l, t, w, h;
  ClientArea(l, t, w, h);
  auto group = [this](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->align_ == align && c->visible_) list.push_back(c);
    auto key = [align](TControl* c) {
      switch (align) {
        case alTop:
          return c->top_;
        case alBottom:
          return -(c->top_ + c->height_);
        case alLeft:
          return c->left_;
        case alRight:
          return -(c->left_ + c->width_);
        default:
          return 0;
      }
    };
    std::stable_sort(list.begin(), list.end(),
                     [&](TControl* a, TControl* b) { return key(a) < key(b); });
    return list;
  };
  for (TControl* c : group(alTop)) {
    c->SetBounds(l, t, std::max(w, 0), c->height_);
    t += c->height_;
    h -= c->height_;
  }
  for (TControl* c : group(alBottom)) {
    c->SetBounds(l, t + h - c->height_, std::max(w, 0), c->height_);
    h -= c->height_;
  }
  for (TControl* c : group(alLeft)) {
    c->SetBounds(l, t, c->width_, std::max(h, 0));
    l += c->width_;
    w -= c->width_;
  }
  for (TControl* c : group(alRight)) {
    c->SetBounds(l + w - c->width_, t, c->width_, std::max(h, 0));
    w -= c->width_;
  }
  for (TControl* c : group(alClient)) c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
  aligning_ = false;
  ContentsChanged();
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> ControlsTables() {
  static const ClassTable tables[] = {
      Publish<TControl>("TControl", "TComponent", Creation::kBaseOnly)
          .prop("Left", &TControl::Left)
          .prop("Top", &TControl::Top)
          .prop("Width", &TControl::Width)
          .prop("Height", &TControl::Height)
          .prop("ClientWidth", &TControl::ClientWidth)
          .prop("ClientHeight", &TControl::ClientHeight)
          .prop("Caption", &TControl::Caption)
          .prop("Text", &TControl::Text)
          .prop("Hint", &TControl::Hint)
          .prop("ShowHint", &TControl::ShowHint)
          .prop("ParentShowHint", &TControl::ParentShowHint)
          .prop("Visible", &TControl::Visible)
          .prop("Enabled", &TControl::Enabled)
          .prop("Color", &TControl::Color)
          .prop("ParentColor", &TControl::ParentColor)
          .sub("Font", &TControl::Font, "TFont")
          .prop("ParentFont", &TControl::ParentFont)
          .prop("Align", &TControl::Align)
          .prop("Anchors", &TControl::Anchors)
          .prop("AutoSize", &TControl::AutoSize)
          .prop("PopupMenu", &TControl::PopupMenu)
          .custom("Cursor",
                  [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                    int value = 0;
                    if (v.kind == dfm::Value::Ident) {
                      if (!Lookup(CursorNames(), v.text, value))
                        Bad(ctx, v.line, prop, "Invalid cursor " + v.text);
                    } else {
                      value = static_cast<int>(IntOf(v, ctx, prop, -32768, 32767));
                    }
                    static_cast<TControl*>(obj)->Cursor = value;
                  })
          .prop("DragMode", &TControl::DragMode)
          .prop("DragKind", &TControl::DragKind)
          .event("OnClick", &TControl::OnClick)
          .event("OnDblClick", &TControl::OnDblClick)
          .ignore({"ExplicitLeft", "ExplicitTop", "ExplicitWidth", "ExplicitHeight", "Ctl3D",
                   "ParentCtl3D", "HelpContext", "ImeName", "ImeMode", "BiDiMode",
                   "ParentBiDiMode"}),
      Publish<TWinControl>("TWinControl", "TControl", Creation::kBaseOnly)
          .prop("TabOrder", &TWinControl::TabOrder)
          .prop("TabStop", &TWinControl::TabStop)
          .event("OnEnter", &TWinControl::OnEnter)
          .event("OnExit", &TWinControl::OnExit)
          .event("OnKeyDown", &TWinControl::OnKeyDown)
          .event("OnKeyUp", &TWinControl::OnKeyUp)
          .event("OnKeyPress", &TWinControl::OnKeyPress),
  };
  return tables;
}

}  // namespace vcl::detail
