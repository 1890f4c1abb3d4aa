#include "mirror.h"

#include <QApplication>
#include <cstdio>

#include "qt_text.h"
#include "vcl/graphics.h"
#include "vcl/stdctrls.h"

namespace vcl::qt::detail {

Mirror::Mirror(Book& book, TComponent* component) : book_(book), component_(component) {}

Mirror::~Mirror() = default;

void Mirror::User(const std::function<void()>& action, const std::function<void(Mirror&)>& resync) {
  // The action may delete this mirror: only locals are used after it.
  Book& book = book_;
  TComponent* component = component_;
  if (book.Holding()) {
    // The input is refused while a handler runs: the widget shows the control as it is.
    if (resync) {
      Book::Echo echo(book);
      resync(*this);
    }
    return;
  }
  book.User([&] {
    action();
    if (!resync) return;
    if (Mirror* m = book.Find(component)) {
      Book::Echo echo(book);
      resync(*m);
    }
  });
}

// ---- ControlMirror ----

ControlMirror::ControlMirror(Book& book, TControl* control)
    : Mirror(book, control), graphic_(dynamic_cast<TGraphicControl*>(control) != nullptr) {}

ControlMirror::~ControlMirror() {
  // The control may be half destroyed here: only what the mirror holds is used.
  if (widget_) {
    book().RemoveWidget(widget_);
    widget_->hide();
    book().Dispose(widget_);
  }
}

void ControlMirror::SetWidget(QWidget* widget) {
  if (widget_) {
    book().RemoveWidget(widget_);
    widget_->hide();
    book().Dispose(widget_);
  }
  widget_ = widget;
  widget->setObjectName(Q(control()->Name));
  book().AddWidget(widget, this);
}

void ControlMirror::ApplyAll() {
  ApplyBounds();
  ApplyText();
  ApplyStyle();
  ApplyColor();
  ApplyFont();
  ApplyHint();
  widget_->setEnabled(control()->Enabled);
  ApplyVisible();
  ApplyAccessibility();
}

void ControlMirror::Apply(Change what, int index) {
  if (!widget_) return;
  switch (what) {
    case Change::Bounds:
      ApplyBounds();
      if (TCustomForm* form = control()->ParentForm()) book().LabelsLater(form);
      break;
    case Change::Text:
      ApplyText();
      ApplyAccessibility();
      // A label's caption decides whether it names the edit beside it.
      if (dynamic_cast<TLabel*>(control()))
        if (TCustomForm* form = control()->ParentForm()) book().LabelsLater(form);
      break;
    case Change::Visible:
      ApplyVisible();
      break;
    case Change::Enabled:
      widget_->setEnabled(control()->Enabled);
      break;
    case Change::Hint: {
      // ShowHint reaches the children that follow their parent's.
      std::function<void(TControl*)> refresh = [&](TControl* c) {
        if (auto* m = book().FindAs<ControlMirror>(c)) {
          m->ApplyHint();
          m->ApplyAccessibility();
        }
        if (auto* win = dynamic_cast<TWinControl*>(c))
          for (int i = 0; i < win->ControlCount; ++i) refresh(win->Controls[i]);
      };
      refresh(control());
      break;
    }
    case Change::Color:
      ApplyColor();
      break;
    case Change::Font:
      ApplyFont();
      break;
    case Change::ZOrder:
      if (auto* parent = book().FindAs<ControlMirror>(control()->Parent())) parent->Restack();
      break;
    case Change::Style:
      ApplyStyle();
      break;
    default:
      break;
  }
}

QRect ControlMirror::Geometry() const {
  TControl* c = control();
  return QRect(c->Left, c->Top, c->Width, c->Height);
}

void ControlMirror::ApplyBounds() {
  widget_->setGeometry(Geometry());
}

void ControlMirror::ApplyVisible() {
  widget_->setVisible(control()->Visible);
}

void ControlMirror::ApplyHint() {
  if (!widget_) return;
  widget_->setToolTip(control()->EffectiveShowHint() ? ShortHint(control()->Hint) : QString());
}

void ControlMirror::ApplyColor() {
  QPalette::ColorRole role = BackgroundRole();
  if (role == QPalette::NoRole) return;
  QColor color = ColorOf(control()->Color);
  if (!color.isValid()) return;
  QPalette palette = widget_->palette();
  palette.setColor(role, color);
  widget_->setPalette(palette);
  if (FillsBackground()) widget_->setAutoFillBackground(true);
}

void ControlMirror::ApplyFont() {
  const TFont& font = *control()->Font;
  widget_->setFont(FontOf(font));
  QPalette palette = widget_->palette();
  const QPalette defaults = QApplication::palette();
  QColor color = ColorOf(font.Color());
  bool standard = font.Color() == clWindowText || font.Color() == clBtnText || !color.isValid();
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
      palette.setColor(group, role, standard ? defaults.color(group, role) : color);
  }
  widget_->setPalette(palette);
}

QString ControlMirror::AccessibleName() const {
  if (!TextIsValue()) {
    QString caption = PlainCaption(Q(control()->Caption));
    if (!caption.isEmpty()) return caption;
  }
  QString hint = ShortHint(control()->Hint);
  if (!hint.isEmpty()) return hint;
  return label_ ? PlainCaption(label_caption_) : QString();
}

void ControlMirror::ApplyAccessibility() {
  if (!widget_) return;
  widget_->setAccessibleName(AccessibleName());
  widget_->setAccessibleDescription(LongHint(control()->Hint));
}

void ControlMirror::SetLabel(QWidget* label, const QString& caption) {
  if (label_ == label && label_caption_ == caption) return;
  label_ = label;
  label_caption_ = caption;
  ApplyAccessibility();
}

void ControlMirror::UserClick(bool twice) {
  TControl* c = control();
  User([c, twice] { twice ? input::DblClick(c) : input::Click(c); });
}

void ControlMirror::Restack() {
  auto* self = dynamic_cast<TWinControl*>(control());
  if (!self) return;
  for (bool graphic : {true, false}) {
    for (int i = 0; i < self->ControlCount; ++i) {
      auto* child = book().FindAs<ControlMirror>(self->Controls[i]);
      if (child && child->graphic_ == graphic && child->widget_) child->widget_->raise();
    }
  }
}

// ---- The book ----

Book::Book() = default;

Book::~Book() = default;

Mirror* Book::Find(const TComponent* component) const {
  if (!component) return nullptr;
  auto it = mirrors_.find(component);
  return it == mirrors_.end() ? nullptr : it->second.get();
}

std::vector<Mirror*> Book::Mirrors() const {
  std::vector<Mirror*> all;
  all.reserve(mirrors_.size());
  for (const auto& [component, mirror] : mirrors_) all.push_back(mirror.get());
  return all;
}

void Book::AddWidget(QWidget* widget, Mirror* mirror) {
  widgets_[widget] = mirror;
}

void Book::RemoveWidget(QWidget* widget) {
  widgets_.erase(widget);
}

Mirror* Book::MirrorOfWidget(const QWidget* widget) const {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    auto it = widgets_.find(w);
    if (it != widgets_.end()) return it->second;
  }
  return nullptr;
}

void Book::Dispose(QObject* object) {
  if (!object) return;
  if (depth_ > 0)
    object->deleteLater();
  else
    delete object;
}

void Book::User(const std::function<void()>& action) {
  if (mirroring_ > 0 || holding_ > 0) return;
  ++depth_;
  try {
    action();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vcl_qt: an event failed: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "vcl_qt: an event failed\n");
  }
  --depth_;
}

void Book::Keep(const TComponent* component, std::unique_ptr<Mirror> mirror) {
  mirrors_[component] = std::move(mirror);
}

std::unique_ptr<Mirror> Book::Forget(const TComponent* component) {
  auto it = mirrors_.find(component);
  if (it == mirrors_.end()) return nullptr;
  std::unique_ptr<Mirror> mirror = std::move(it->second);
  mirrors_.erase(it);
  return mirror;
}

void Book::Clear() {
  mirrors_.clear();
}

// ---- Which mirror shows which class ----

namespace {

using Factory = std::unique_ptr<Mirror> (*)(Book&, TComponent*);

const std::unordered_map<std::type_index, Factory>& Bindings() {
  static const auto table = [] {
    std::unordered_map<std::type_index, Factory> all;
    for (auto family : {StdBindings(), ComCtrlBindings(), MenuBindings()})
      for (const MirrorBinding& b : family) all.emplace(b.type, b.create);
    return all;
  }();
  return table;
}

}  // namespace

std::unique_ptr<Mirror> CreateMirror(Book& book, TComponent* component) {
  if (auto* form = dynamic_cast<TCustomForm*>(component)) return CreateFormMirror(book, form);
  auto* control = dynamic_cast<TControl*>(component);
  // A control shows inside its parent's widget; one without a known parent is not shown.
  if (control && !book.Find(control->Parent())) return nullptr;
  auto it = Bindings().find(typeid(*component));
  if (it != Bindings().end()) return it->second(book, component);
  // A control of a class without a mirror of its own shows as a plain area.
  return control ? CreateGenericMirror(book, control) : nullptr;
}

}  // namespace vcl::qt::detail
