// Menus: main and pop-up menus with their items; an item whose Caption is "-" is a separator.
#pragma once

#include <vector>

#include "platform/windows.h"
#include "vcl/classes.h"

using TShortCut = WORD;

class TMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  VCL_CLASS_NAME(TMenuItem)
  Property<AnsiString> Caption{this, &TMenuItem::GetCaption, &TMenuItem::SetCaption};
  Property<bool> Checked{this, &TMenuItem::GetChecked, &TMenuItem::SetChecked};
  Property<bool> Enabled{this, &TMenuItem::GetEnabled, &TMenuItem::SetEnabled};
  Property<bool> Visible{this, &TMenuItem::GetVisible, &TMenuItem::SetVisible};
  Property<AnsiString> Hint{this, &TMenuItem::GetHint, &TMenuItem::SetHint};
  Property<TShortCut> ShortCut{this, &TMenuItem::GetShortCut, &TMenuItem::SetShortCut};
  Property<bool> RadioItem{[this] { return radio_item_; }, [this](bool v) { radio_item_ = v; }};
  Property<int> GroupIndex{[this] { return group_index_; }, [this](int v) { group_index_ = v; }};
  Property<bool> AutoCheck{[this] { return auto_check_; }, [this](bool v) { auto_check_ = v; }};
  Property<bool> Default{[this] { return default_; }, [this](bool v) { default_ = v; }};
  // Sub-items; an index out of range raises EMenuError "Menu index out of range".
  ReadOnlyIndexedProperty<TMenuItem*> Items{this, &TMenuItem::GetItem};
  ReadOnlyProperty<int> Count{this, &TMenuItem::GetCount};
  // The item this one is a sub-item of (nullptr for a menu's root item or a loose item).
  ReadOnlyProperty<TMenuItem*> Parent{this, &TMenuItem::GetParentItem};
  TNotifyEvent OnClick;

  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  void Clear();  // deletes the sub-items
  int IndexOf(TMenuItem* Item) const;
  bool IsLine() const { return caption_ == "-"; }
  // Runs OnClick (AutoCheck toggles Checked first). The user's choice arrives through
  // vcl::input::Click.
  virtual void Click();
  // The menu whose tree holds this item, or nullptr.
  TMenu* GetParentMenu() const;

 private:
  friend class TMenu;
  AnsiString GetCaption() const { return caption_; }
  void SetCaption(const AnsiString& v);
  bool GetChecked() const { return checked_; }
  void SetChecked(bool v);
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool GetVisible() const { return visible_; }
  void SetVisible(bool v);
  AnsiString GetHint() const { return hint_; }
  void SetHint(const AnsiString& v);
  TShortCut GetShortCut() const { return short_cut_; }
  void SetShortCut(TShortCut v);
  TMenuItem* GetItem(int index) const;
  int GetCount() const { return static_cast<int>(items_.size()); }
  TMenuItem* GetParentItem() const { return parent_; }
  void ItemChanged(vcl::Change what);

  AnsiString caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  AnsiString hint_;
  TShortCut short_cut_ = 0;
  bool radio_item_ = false;
  int group_index_ = 0;
  bool auto_check_ = false;
  bool default_ = false;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  std::vector<TMenuItem*> items_;
};

VCL_EXCEPTION_CLASS(EMenuError, Exception);

// A menu: Items is its root item, whose sub-items are the menu bar's (or pop-up's) entries.
// Changes anywhere in the tree reach the widget set as changes of the item concerned.
class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  VCL_CLASS_NAME(TMenu)
  TMenuItem* const Items;
  Property<bool> AutoHotkeys{[this] { return auto_hotkeys_; },
                             [this](bool v) { auto_hotkeys_ = v; }};

 private:
  bool auto_hotkeys_ = true;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* AOwner);
  VCL_CLASS_NAME(TMainMenu)
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  VCL_CLASS_NAME(TPopupMenu)
  Property<bool> AutoPopup{[this] { return auto_popup_; }, [this](bool v) { auto_popup_ = v; }};
  // The control the menu was last popped up for.
  Property<TComponent*> PopupComponent{[this] { return popup_component_; },
                                       [this](TComponent* v) { popup_component_ = v; }};
  TNotifyEvent OnPopup;
  // Shows the menu at screen coordinates (through the widget set); runs OnPopup first.
  void Popup(int X, int Y);

 private:
  bool auto_popup_ = true;
  TComponent* popup_component_ = nullptr;
};
