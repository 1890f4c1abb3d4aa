#include "vcl/qt_widgetset.h"

#include "dialogs.h"
#include "form_mirror.h"
#include "menu_mirrors.h"
#include "registry.h"

namespace vcl::qt {

using detail::Registry;

QtWidgetSet::QtWidgetSet() : registry_(std::make_unique<Registry>()) {}

QtWidgetSet::~QtWidgetSet() = default;

void QtWidgetSet::Insert(TComponent* component) {
  registry_->Insert(component);
}
void QtWidgetSet::Remove(TComponent* component) {
  registry_->Remove(component);
}
void QtWidgetSet::Changed(TComponent* component, Change what, int index) {
  registry_->Changed(component, what, index);
}
void QtWidgetSet::Repaint(TControl* control) {
  registry_->Repaint(control);
}
void QtWidgetSet::TimerChanged(TTimer* timer) {
  registry_->TimerChanged(timer);
}
void QtWidgetSet::Popup(TPopupMenu* menu, int x, int y) {
  registry_->Popup(menu, x, y);
}

void QtWidgetSet::ShowMessage(const AnsiString& text, const AnsiString& caption) {
  detail::RunMessageBox(*registry_, text, caption, MB_OK);
}
int QtWidgetSet::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
  return detail::RunMessageBox(*registry_, text, caption, flags);
}
void QtWidgetSet::ShowException(const AnsiString& text, const AnsiString& caption) {
  detail::RunMessageBox(*registry_, text, caption, MB_OK | MB_ICONSTOP);
}
bool QtWidgetSet::OpenDialog(TOpenDialog* dialog) {
  return detail::RunOpenDialog(*registry_, dialog);
}
bool QtWidgetSet::BrowseForFolder(const AnsiString& title, AnsiString& folder) {
  return detail::RunFolderBrowser(*registry_, title, folder);
}
bool QtWidgetSet::SelectFolder(AnsiString& folder, TSelectDirOpts options) {
  return detail::RunSelectFolder(*registry_, folder, options);
}

void QtWidgetSet::Run() {
  registry_->Run();
}
void QtWidgetSet::Quit() {
  registry_->Quit();
}
void QtWidgetSet::Wake() {
  registry_->Wake();
}

QWidget* QtWidgetSet::WidgetOf(const TComponent* component) const {
  detail::Mirror* m = registry_->Find(component);
  if (auto* menu = dynamic_cast<detail::MainMenuMirror*>(m)) return menu->Bar();
  if (auto* menu = dynamic_cast<detail::PopupMenuMirror*>(m)) return menu->Menu();
  return m ? m->widget() : nullptr;
}

QAction* QtWidgetSet::ActionOf(const TMenuItem* item) const {
  auto* m = registry_->FindAs<detail::MenuItemMirror>(item);
  return m ? m->Action() : nullptr;
}

TComponent* QtWidgetSet::ComponentOf(const QWidget* widget) const {
  detail::Mirror* m = registry_->MirrorOfWidget(widget);
  return m ? m->component() : nullptr;
}

void QtWidgetSet::ShowPendingForms() {
  Registry::Echo echo(*registry_);
  registry_->ShowPendingForms();
}

bool QtWidgetSet::SaveScreenshot(TCustomForm* form, const QString& file_name) {
  return registry_->SaveScreenshot(form, file_name);
}

void QtWidgetSet::SetScreenshotDir(const QString& dir) {
  registry_->SetScreenshotDir(dir);
}
void QtWidgetSet::SetAutoAnswer(bool on) {
  registry_->SetAutoAnswer(on);
}
int QtWidgetSet::BeepCount() const {
  return registry_->BeepCount();
}

}  // namespace vcl::qt
