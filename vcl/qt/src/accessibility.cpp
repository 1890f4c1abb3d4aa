#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "comctrl_widgets.h"
#include "form_mirror.h"
#include "widgets.h"

namespace vcl::qt::detail {
namespace {

// Our widgets have no meta-object of their own: the factory is asked with their Qt base
// class's name first and tells them apart by type. Everything else is Qt's.
QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* w = static_cast<QWidget*>(object);
  QAccessible::Role role;
  if (dynamic_cast<FormWindow*>(w))
    role = QAccessible::Window;
  else if (dynamic_cast<StatusBarWidget*>(w))
    role = QAccessible::StatusBar;
  else if (dynamic_cast<ToolBarWidget*>(w))
    role = QAccessible::ToolBar;
  else if (dynamic_cast<PanelWidget*>(w))
    role = QAccessible::Pane;
  else if (dynamic_cast<PageControlWidget*>(w))
    role = QAccessible::Pane;
  else if (dynamic_cast<ImageWidget*>(w))
    role = QAccessible::Graphic;
  else if (dynamic_cast<BevelWidget*>(w) || dynamic_cast<SeparatorWidget*>(w))
    role = QAccessible::Separator;
  else
    return nullptr;
  return new QAccessibleWidget(w, role);
}

}  // namespace

void InstallAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(Factory);
}

}  // namespace vcl::qt::detail
