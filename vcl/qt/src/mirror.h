// Mirrors: one per component the widget set was told of. A mirror owns the Qt widget (or menu
// action) that shows its component, re-reads the component's properties when told of a
// change, and reports the user's input on that widget back through vcl::input.
#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "vcl/vcl.h"
#include "vcl/widgetset.h"

namespace vcl::qt::detail {

class Registry;

class Mirror {
 public:
  Mirror(Registry& registry, TComponent* component);
  virtual ~Mirror();
  Mirror(const Mirror&) = delete;
  Mirror& operator=(const Mirror&) = delete;

  TComponent* component() const { return component_; }
  Registry& registry() const { return registry_; }
  // The parent the control had when it was inserted (its mirror outlives this one).
  TComponent* ParentComponent() const { return parent_; }
  void SetParentComponent(TComponent* parent) { parent_ = parent; }
  // The widget that shows the component (nullptr for menus and their items).
  virtual QWidget* widget() const { return nullptr; }
  // Where the widgets of child controls go.
  virtual QWidget* container() const { return widget(); }
  // Reads every shown property; called once right after construction.
  virtual void ApplyAll() {}
  virtual void Apply(Change what, int index) {}
  virtual void ChildAdded(Mirror* child) {}
  virtual void ChildRemoved(Mirror* child) {}

 protected:
  // The context of signal connections: they end with the mirror.
  QObject* link() { return &link_; }
  // Runs a user's action unless the widget is only echoing a change being mirrored; then,
  // when the component still has a mirror, `resync` re-reads it (its widget may have moved on
  // its own, as a check box that toggles itself).
  void User(const std::function<void()>& action, const std::function<void(Mirror&)>& resync = {});

 private:
  Registry& registry_;
  TComponent* component_;
  TComponent* parent_ = nullptr;
  QObject link_;
};

// A control's widget: bounds, visibility, enabled state, hints, colours, fonts, z-order and
// the accessible name and description.
class ControlMirror : public Mirror {
 public:
  ControlMirror(Registry& registry, TControl* control);
  ~ControlMirror() override;

  TControl* control() const { return static_cast<TControl*>(component()); }
  QWidget* widget() const override { return widget_; }
  void ApplyAll() override;
  void Apply(Change what, int index) override;

  // The label tied to this control (explicitly through FocusControl or found beside it).
  void SetLabel(QWidget* label, const QString& caption);
  // The name a screen reader announces.
  virtual QString AccessibleName() const;
  // True for controls whose Text is their value (edits, combo boxes): their name comes from
  // the hint or the label beside them.
  virtual bool TextIsValue() const { return false; }
  bool IsGraphic() const { return graphic_; }
  // Re-reads the tooltip (the parent's ShowHint may have changed).
  void ApplyHint();
  // Places the widget; subclasses that need more room than the library gave may widen it.
  virtual QRect Geometry() const;
  // Restacks the children: graphic controls below window controls, each in z-order.
  void Restack();
  // The user clicked (or double-clicked) the control's widget.
  void UserClick(bool twice = false);

 protected:
  // Adopts the widget made by a subclass constructor (once).
  void SetWidget(QWidget* widget);
  virtual void ApplyText() {}
  virtual void ApplyStyle() {}
  virtual void ApplyVisible();
  virtual void ApplyColor();
  virtual void ApplyFont();
  virtual void ApplyBounds();
  void ApplyAccessibility();
  // The role that Color paints (Window for panels and labels, Base for edits).
  virtual QPalette::ColorRole BackgroundRole() const { return QPalette::Window; }
  // Whether the widget paints its own background with Color.
  virtual bool FillsBackground() const { return false; }

 private:
  QPointer<QWidget> widget_;
  QPointer<QWidget> label_;
  QString label_caption_;
  bool graphic_;
};

// Creates the mirror for a component (nullptr: the widget set does not show its kind).
std::unique_ptr<Mirror> CreateMirror(Registry& registry, TComponent* component);

// Factories by family (std_mirrors.cpp, comctrl_mirrors.cpp, menu_mirrors.cpp, form_mirror.cpp).
std::unique_ptr<Mirror> CreateFormMirror(Registry& registry, TComponent* component);
std::unique_ptr<Mirror> CreateStdMirror(Registry& registry, TComponent* component);
std::unique_ptr<Mirror> CreateComCtrlMirror(Registry& registry, TComponent* component);
std::unique_ptr<Mirror> CreateMenuMirror(Registry& registry, TComponent* component);

}  // namespace vcl::qt::detail
