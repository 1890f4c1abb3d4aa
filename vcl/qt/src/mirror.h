// Mirrors: one per component the widget set was told of. A mirror owns the Qt widget (or menu
// action) that shows its component, re-reads the component's properties when told of a
// change, and reports the user's input on that widget back through vcl::input. The book holds
// them; each library class is bound to its mirror class by one line of its family's table.
#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <span>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "vcl/controls.h"
#include "vcl/forms.h"
#include "vcl/widgetset.h"

namespace vcl::qt::detail {

class Book;

// How soon what a held input left to do is tried again (Book::Hold).
inline constexpr int kHeldRetryMs = 50;

class Mirror {
 public:
  Mirror(Book& book, TComponent* component);
  virtual ~Mirror();
  Mirror(const Mirror&) = delete;
  Mirror& operator=(const Mirror&) = delete;

  TComponent* component() const { return component_; }
  Book& book() const { return book_; }
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
  Book& book_;
  TComponent* component_;
  TComponent* parent_ = nullptr;
  QObject link_;
};

// A control's widget: bounds, visibility, enabled state, hints, colours, fonts, z-order and
// the accessible name and description.
class ControlMirror : public Mirror {
 public:
  ControlMirror(Book& book, TControl* control);
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

// The book of mirrors: every mirror by its component and by the widgets that show it, and the
// bridge that runs the user's actions. The widget set's core keeps it; mirrors reach it.
class Book {
 public:
  Book();
  virtual ~Book();
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;

  Mirror* Find(const TComponent* component) const;
  template <class M>
  M* FindAs(const TComponent* component) const {
    return dynamic_cast<M*>(Find(component));
  }
  // Every mirror, in no particular order.
  std::vector<Mirror*> Mirrors() const;
  // Records that `widget` (a mirror's main widget or one of its parts) shows `mirror`.
  void AddWidget(QWidget* widget, Mirror* mirror);
  void RemoveWidget(QWidget* widget);
  // The mirror of the widget or of its nearest ancestor that has one.
  Mirror* MirrorOfWidget(const QWidget* widget) const;
  // Deletes a widget or action that a mirror let go: at once, or later while a user's action
  // is running (it may be the one whose signal started it).
  void Dispose(QObject* object);

  // True while a change of the library is being mirrored: widget signals then echo it.
  bool Mirroring() const { return mirroring_ > 0; }
  // Runs a user's action from a Qt callback (ignored while mirroring, and while held).
  void User(const std::function<void()>& action);
  // True while a user's action runs (a handler, maybe inside a modal box's loop).
  bool InUserAction() const { return depth_ > 0; }
  // True while a running handler lets the loop turn for a moment (Core::EndRequested): no
  // user's action runs then, as none may run in the middle of the handler.
  bool Holding() const { return holding_ > 0; }
  // Holds every user's action while it lives.
  class Hold {
   public:
    explicit Hold(Book& book) : book_(book) { ++book_.holding_; }
    ~Hold() { --book_.holding_; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    Book& book_;
  };
  // Mirrors while it lives: widget signals are echoes then.
  class Echo {
   public:
    explicit Echo(Book& book) : book_(book) { ++book_.mirroring_; }
    ~Echo() { --book_.mirroring_; }
    Echo(const Echo&) = delete;
    Echo& operator=(const Echo&) = delete;

   private:
    Book& book_;
  };

  // ---- What mirrors ask of the widget set's core ----
  // Ties labels to the edits beside them on this form when the loop next runs.
  virtual void LabelsLater(TCustomForm* form) = 0;
  // A form to show when the loop next runs (or before Repaint, a modal call, a screenshot).
  virtual void ShowLater(TCustomForm* form) = 0;
  virtual void ShowPendingForms() = 0;
  // The user asked to close the form while a handler held the input: closed once no handler
  // runs.
  virtual void CloseLater(TCustomForm* form) = 0;

 protected:
  // Takes the mirror of a component into the book; Forget gives it back.
  void Keep(const TComponent* component, std::unique_ptr<Mirror> mirror);
  std::unique_ptr<Mirror> Forget(const TComponent* component);
  // Deletes every mirror (forms are normally gone by then).
  void Clear();

 private:
  std::unordered_map<const TComponent*, std::unique_ptr<Mirror>> mirrors_;
  std::unordered_map<const QWidget*, Mirror*> widgets_;
  int mirroring_ = 0;
  int depth_ = 0;
  int holding_ = 0;
};

// Clicks and double clicks on a widget of our own (widgets.h, Clickable) go to the control.
template <class W>
W* ReportClicks(W* widget, ControlMirror* mirror) {
  widget->on_click = [mirror] { mirror->UserClick(); };
  widget->on_double_click = [mirror] { mirror->UserClick(true); };
  return widget;
}

// ---- Which mirror shows which class ----

// One class of the library and the mirror that shows it.
struct MirrorBinding {
  std::type_index type;
  std::unique_ptr<Mirror> (*create)(Book& book, TComponent* component);
};

template <class Component, class M>
MirrorBinding Bind() {
  return {typeid(Component), [](Book& book, TComponent* component) -> std::unique_ptr<Mirror> {
            return std::make_unique<M>(book, static_cast<Component*>(component));
          }};
}

// The bindings by family (std_mirrors.cpp, comctrl_mirrors.cpp, menu_mirrors.cpp), one line
// per class.
std::span<const MirrorBinding> StdBindings();
std::span<const MirrorBinding> ComCtrlBindings();
std::span<const MirrorBinding> MenuBindings();

// A form of any class (the programs derive their own) shows in a form mirror (form_mirror.cpp).
std::unique_ptr<Mirror> CreateFormMirror(Book& book, TCustomForm* form);

// The mirror of a control whose class has none of its own: a plain area (std_mirrors.cpp).
std::unique_ptr<Mirror> CreateGenericMirror(Book& book, TControl* control);

// Creates the mirror for a component (nullptr: the widget set does not show it).
std::unique_ptr<Mirror> CreateMirror(Book& book, TComponent* component);

}  // namespace vcl::qt::detail
