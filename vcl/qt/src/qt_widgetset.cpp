#include "vcl/qt_widgetset.h"

#include "core.h"
#include "dialogs.h"
#include "form_mirror.h"
#include "menu_mirrors.h"
#include "vcl/filectrl.h"

namespace vcl::qt {

using detail::Core;

QtWidgetSet::QtWidgetSet() : core_(std::make_unique<Core>()) {}

QtWidgetSet::~QtWidgetSet() = default;

void QtWidgetSet::Insert(TComponent* component) {
  core_->Insert(component);
}
void QtWidgetSet::Remove(TComponent* component) {
  core_->Remove(component);
}
void QtWidgetSet::Changed(TComponent* component, Change what, int index) {
  core_->Changed(component, what, index);
}
void QtWidgetSet::Repaint(TControl* control) {
  core_->Repaint(control);
}
void QtWidgetSet::TimerChanged(TTimer* timer) {
  core_->TimerChanged(timer);
}
void QtWidgetSet::Popup(TPopupMenu* menu, int x, int y) {
  core_->Popup(menu, x, y);
}

void QtWidgetSet::ShowMessage(const AnsiString& text, const AnsiString& caption) {
  detail::RunMessageBox(*core_, text, caption, MB_OK);
}
int QtWidgetSet::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
  return detail::RunMessageBox(*core_, text, caption, flags);
}
void QtWidgetSet::ShowException(const AnsiString& text, const AnsiString& caption) {
  detail::RunMessageBox(*core_, text, caption, MB_OK | MB_ICONSTOP);
}
bool QtWidgetSet::OpenDialog(TOpenDialog* dialog) {
  return detail::RunOpenDialog(*core_, dialog);
}
bool QtWidgetSet::BrowseForFolder(const AnsiString& title, AnsiString& folder) {
  return detail::RunFolderBrowser(*core_, title, folder);
}
bool QtWidgetSet::SelectFolder(AnsiString& folder, TSelectDirOpts options) {
  return detail::RunSelectFolder(*core_, folder, options);
}

void QtWidgetSet::Run() {
  core_->Run();
}
void QtWidgetSet::Quit() {
  core_->Quit();
}
void QtWidgetSet::Wake() {
  core_->Wake();
}
bool QtWidgetSet::EndRequested() {
  return core_->EndRequested();
}

QWidget* QtWidgetSet::WidgetOf(const TComponent* component) const {
  detail::Mirror* m = core_->Find(component);
  if (auto* menu = dynamic_cast<detail::MainMenuMirror*>(m)) return menu->Bar();
  if (auto* menu = dynamic_cast<detail::PopupMenuMirror*>(m)) return menu->Menu();
  return m ? m->widget() : nullptr;
}

QAction* QtWidgetSet::ActionOf(const TMenuItem* item) const {
  auto* m = core_->FindAs<detail::MenuItemMirror>(item);
  return m ? m->Action() : nullptr;
}

TComponent* QtWidgetSet::ComponentOf(const QWidget* widget) const {
  detail::Mirror* m = core_->MirrorOfWidget(widget);
  return m ? m->component() : nullptr;
}

void QtWidgetSet::ShowPendingForms() {
  Core::Echo echo(*core_);
  core_->ShowPendingForms();
}

bool QtWidgetSet::SaveScreenshot(TCustomForm* form, const QString& file_name) {
  return core_->SaveScreenshot(form, file_name);
}

void QtWidgetSet::SetScreenshotDir(const QString& dir) {
  core_->SetScreenshotDir(dir);
}
void QtWidgetSet::SetAutoAnswer(bool on) {
  core_->SetAutoAnswer(on);
}
int QtWidgetSet::BeepCount() const {
  return core_->BeepCount();
}

void QtWidgetSet::WatchSessionEnd(vcl::SessionEndSignals* watched) {
  core_->WatchSessionEnd(watched);
}

}  // namespace vcl::qt
