// Menus: a main menu is a QMenuBar on its form's window, a pop-up menu a QMenu, every item a
// QAction (with a QMenu of its own when it has sub-items).
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "mirror.h"
#include "vcl/menus.h"

namespace vcl::qt::detail {

class MenuMirror : public Mirror {
 public:
  MenuMirror(Book& book, TMenu* menu);
  TMenu* menu() const { return static_cast<TMenu*>(component()); }
  // The widget that shows the menu's top-level items.
  virtual QWidget* Target() const = 0;
  // The top-level items changed.
  virtual void ItemsChanged() {}
};

class MainMenuMirror : public MenuMirror {
 public:
  MainMenuMirror(Book& book, TMainMenu* menu);
  ~MainMenuMirror() override;
  QMenuBar* Bar() const { return bar_; }
  QWidget* Target() const override { return bar_; }
  void ItemsChanged() override;

 private:
  QPointer<QMenuBar> bar_;
  TComponent* owner_;  // the form whose window may hold the bar
};

class PopupMenuMirror : public MenuMirror {
 public:
  PopupMenuMirror(Book& book, TPopupMenu* menu);
  ~PopupMenuMirror() override;
  QMenu* Menu() const { return menu_; }
  QWidget* Target() const override { return menu_; }
  // Shows the menu at screen coordinates until the user chooses or dismisses it.
  void Popup(int x, int y);

 private:
  QPointer<QMenu> menu_;
};

class MenuItemMirror : public Mirror {
 public:
  MenuItemMirror(Book& book, TMenuItem* item, bool root);
  ~MenuItemMirror() override;
  TMenuItem* item() const { return static_cast<TMenuItem*>(component()); }
  // nullptr for a menu's root item.
  QAction* Action() const { return action_; }
  void ApplyAll() override;
  void Apply(Change what, int index) override;
  // Puts the sub-items' actions in order into the sub-menu (or the menu's own widget).
  void Rebuild();

 private:
  void ApplyProperties();
  QPointer<QAction> action_;
  QPointer<QMenu> submenu_;
  bool root_;
};

}  // namespace vcl::qt::detail
