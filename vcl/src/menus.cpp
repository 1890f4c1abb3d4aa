#include "vcl/menus.h"

#include <algorithm>

#include "gui_internal.h"
#include "published.h"

using vcl::Change;

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  while (!items_.empty()) delete items_.back();  // each takes itself out
  if (parent_) {
    auto& siblings = parent_->items_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
  }
}

void TMenuItem::ItemChanged(Change what) {
  Changed(what);
}

void TMenuItem::SetCaption(const AnsiString& v) {
  if (v == caption_) return;
  caption_ = v;
  ItemChanged(Change::Text);
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  ItemChanged(Change::Checked);
  if (v && radio_item_ && parent_)
    for (TMenuItem* other : parent_->items_)
      if (other != this && other->radio_item_ && other->group_index_ == group_index_ &&
          other->checked_) {
        other->checked_ = false;
        other->ItemChanged(Change::Checked);
      }
}

void TMenuItem::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  ItemChanged(Change::Enabled);
}

void TMenuItem::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  ItemChanged(Change::Visible);
}

void TMenuItem::SetHint(const AnsiString& v) {
  if (v == hint_) return;
  hint_ = v;
  ItemChanged(Change::Hint);
}

void TMenuItem::SetShortCut(TShortCut v) {
  if (v == short_cut_) return;
  short_cut_ = v;
  ItemChanged(Change::Style);
}

TMenuItem* TMenuItem::GetItem(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size()))
    throw EMenuError("Menu index out of range");
  return items_[static_cast<size_t>(index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->parent_) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > static_cast<int>(items_.size()))
    throw EMenuError("Menu index out of range");
  items_.insert(items_.begin() + Index, Item);
  Item->parent_ = this;
  if (Realized()) vcl::detail::RealizeMenuItem(Item);
}

void TMenuItem::Add(TMenuItem* Item) {
  Insert(static_cast<int>(items_.size()), Item);
}

void TMenuItem::Delete(int Index) {
  TMenuItem* item = GetItem(Index);
  vcl::detail::UnrealizeTree(item);
  items_.erase(items_.begin() + Index);
  item->parent_ = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item) {
  int index = IndexOf(Item);
  if (index < 0) throw EMenuError("Sub-menu is not in menu");
  Delete(index);
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(TMenuItem* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Click() {
  if (auto_check_) Checked = !checked_;
  if (OnClick) OnClick(this);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_) item = item->parent_;
  return item->menu_;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), Items(new TMenuItem(nullptr)) {
  Items->menu_ = this;
}

TMenu::~TMenu() {
  MarkDestroying();
  vcl::detail::UnrealizeTree(this);
  delete Items;
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  vcl::WidgetSet& ws = vcl::detail::RequireWidgetSet();
  if (!Realized()) {
    SetRealized(true);
    ws.Insert(this);
    vcl::detail::RealizeMenuItem(Items);
  }
  ws.Popup(this, X, Y);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> MenusTables() {
  static const ClassTable tables[] = {
      Publish<TMenuItem>("TMenuItem", "TComponent")
          .prop("Caption", &TMenuItem::Caption)
          .prop("Checked", &TMenuItem::Checked)
          .prop("Enabled", &TMenuItem::Enabled)
          .prop("Visible", &TMenuItem::Visible)
          .prop("Hint", &TMenuItem::Hint)
          .prop("ShortCut", &TMenuItem::ShortCut)
          .prop("RadioItem", &TMenuItem::RadioItem)
          .prop("GroupIndex", &TMenuItem::GroupIndex)
          .prop("AutoCheck", &TMenuItem::AutoCheck)
          .prop("Default", &TMenuItem::Default)
          .event("OnClick", &TMenuItem::OnClick)
          .ignore({"ImageIndex"}),
      Publish<TMenu>("TMenu", "TComponent", Creation::kBaseOnly)
          .custom("AutoHotkeys",
                  [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                    if (v.kind != dfm::Value::Ident)
                      Bad(ctx, v.line, prop, "maAutomatic or maManual expected");
                    static_cast<TMenu*>(obj)->AutoHotkeys =
                        strcasecmp(v.text.c_str(), "maManual") != 0;
                  })
          .ignore({"Images"}),
      Publish<TMainMenu>("TMainMenu", "TMenu"),
      Publish<TPopupMenu>("TPopupMenu", "TMenu")
          .prop("AutoPopup", &TPopupMenu::AutoPopup)
          .event("OnPopup", &TPopupMenu::OnPopup),
  };
  return tables;
}

}  // namespace vcl::detail
