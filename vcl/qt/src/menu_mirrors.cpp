#include "menu_mirrors.h"

#include <QFont>

#include "qt_text.h"
#include "vcl/menus.h"

namespace vcl::qt::detail {

MenuMirror::MenuMirror(Book& book, TMenu* menu) : Mirror(book, menu) {}

// ---- The main menu ----

MainMenuMirror::MainMenuMirror(Book& book, TMainMenu* menu)
    : MenuMirror(book, menu), bar_(new QMenuBar), owner_(menu->Owner()) {
  bar_->setObjectName(Q(menu->Name));
  bar_->setNativeMenuBar(false);
  bar_->hide();
  book.AddWidget(bar_, this);
}

MainMenuMirror::~MainMenuMirror() {
  if (!bar_) return;
  book().RemoveWidget(bar_);
  bool attached = bar_->parentWidget() != nullptr;
  bar_->hide();
  bar_->setParent(nullptr);
  book().Dispose(bar_);
  if (attached)
    if (Mirror* form = book().Find(owner_)) form->Apply(Change::Menu, -1);
}

void MainMenuMirror::ItemsChanged() {
  // The bar's height may have changed: its form lays itself out anew.
  if (Mirror* form = book().Find(owner_)) form->Apply(Change::Menu, -1);
}

// ---- Pop-up menus ----

PopupMenuMirror::PopupMenuMirror(Book& book, TPopupMenu* menu)
    : MenuMirror(book, menu), menu_(new QMenu) {
  menu_->setObjectName(Q(menu->Name));
  book.AddWidget(menu_, this);
}

PopupMenuMirror::~PopupMenuMirror() {
  if (!menu_) return;
  book().RemoveWidget(menu_);
  menu_->hide();
  book().Dispose(menu_);
}

void PopupMenuMirror::Popup(int x, int y) {
  if (menu_) menu_->exec(QPoint(x, y));
}

// ---- Items ----

MenuItemMirror::MenuItemMirror(Book& book, TMenuItem* item, bool root)
    : Mirror(book, item), root_(root) {
  if (root_) return;
  action_ = new QAction;
  action_->setObjectName(Q(item->Name));
  QObject::connect(action_, &QAction::triggered, link(), [this] {
    TMenuItem* it = this->item();
    // The library decides Checked (AutoCheck); the action toggled on its own.
    User([it] { input::Click(it); },
         [](Mirror& m) {
           if (auto* self = dynamic_cast<MenuItemMirror*>(&m)) self->ApplyProperties();
         });
  });
}

MenuItemMirror::~MenuItemMirror() {
  // Deleting the action takes it out of every menu that shows it.
  if (action_) {
    action_->setMenu(nullptr);
    action_->setVisible(false);
    book().Dispose(action_);
  }
  if (submenu_) {
    submenu_->hide();
    book().Dispose(submenu_);
  }
}

void MenuItemMirror::ApplyAll() {
  if (root_) {
    Rebuild();
    return;
  }
  ApplyProperties();
  Rebuild();
  if (auto* parent = book().FindAs<MenuItemMirror>(item()->Parent())) parent->Rebuild();
}

void MenuItemMirror::Apply(Change what, int index) {
  if (what == Change::Items) {
    Rebuild();
    return;
  }
  if (root_) return;
  ApplyProperties();
  // A separator or a hidden item changes the look of its menu only; the bar's height may
  // change when a top-level item comes or goes.
  if (what == Change::Visible && item()->Parent() && !item()->Parent()->Parent())
    if (auto* menu = book().FindAs<MenuMirror>(item()->GetParentMenu())) menu->ItemsChanged();
}

void MenuItemMirror::ApplyProperties() {
  if (!action_) return;
  TMenuItem* it = item();
  // A separator is a line only: some styles would draw its caption "-" as a title.
  action_->setSeparator(it->IsLine());
  action_->setText(it->IsLine() ? QString() : Q(it->Caption));
  action_->setEnabled(it->Enabled);
  action_->setVisible(it->Visible);
  bool checkable = it->Checked || it->AutoCheck || it->RadioItem;
  action_->setCheckable(checkable);
  action_->setChecked(it->Checked);
  action_->setShortcut(ShortCutSequence(it->ShortCut));
  action_->setStatusTip(LongHint(it->Hint));
  action_->setToolTip(ShortHint(it->Hint));
  QFont font = action_->font();
  font.setBold(it->Default);
  action_->setFont(font);
}

void MenuItemMirror::Rebuild() {
  TMenuItem* it = item();
  QWidget* target = nullptr;
  if (root_) {
    if (auto* menu = book().FindAs<MenuMirror>(it->GetParentMenu())) target = menu->Target();
  } else if (it->Count > 0) {
    if (!submenu_) {
      submenu_ = new QMenu;
      submenu_->setObjectName(Q(it->Name) + QStringLiteral("_menu"));
      book().AddWidget(submenu_, this);
    }
    submenu_->setTitle(Q(it->Caption));
    action_->setMenu(submenu_);
    target = submenu_;
  } else if (action_->menu()) {
    action_->setMenu(nullptr);
  }
  if (!target) return;
  for (QAction* a : target->actions()) target->removeAction(a);
  for (int i = 0; i < it->Count; ++i)
    if (auto* child = book().FindAs<MenuItemMirror>(it->Items[i]))
      if (child->action_) target->addAction(child->action_);
  if (root_)
    if (auto* menu = book().FindAs<MenuMirror>(it->GetParentMenu())) menu->ItemsChanged();
}

namespace {

// A loose item (not in a menu) or one whose menu is not shown is not shown either.
std::unique_ptr<Mirror> CreateItemMirror(Book& book, TComponent* component) {
  auto* item = static_cast<TMenuItem*>(component);
  TMenu* menu = item->GetParentMenu();
  if (!menu || !book.Find(menu)) return nullptr;
  bool root = !item->Parent() && menu->Items == item;
  return std::make_unique<MenuItemMirror>(book, item, root);
}

}  // namespace

std::span<const MirrorBinding> MenuBindings() {
  static const MirrorBinding bindings[] = {
      Bind<TMainMenu, MainMenuMirror>(),
      Bind<TPopupMenu, PopupMenuMirror>(),
      {typeid(TMenuItem), CreateItemMirror},
  };
  return bindings;
}

}  // namespace vcl::qt::detail
