#include "mirror.h"

#include <QApplication>

#include "qt_text.h"
#include "registry.h"

namespace vcl::qt::detail {

Mirror::Mirror(Registry& registry, TComponent* component)
    : registry_(registry), component_(component) {}

Mirror::~Mirror() = default;

void Mirror::User(const std::function<void()>& action, const std::function<void(Mirror&)>& resync) {
  // The action may delete this mirror: only locals are used after it.
  Registry& registry = registry_;
  TComponent* component = component_;
  registry.User([&] {
    action();
    if (!resync) return;
    if (Mirror* m = registry.Find(component)) {
      Registry::Echo echo(registry);
      resync(*m);
    }
  });
}

// ---- ControlMirror ----

ControlMirror::ControlMirror(Registry& registry, TControl* control)
    : Mirror(registry, control), graphic_(dynamic_cast<TGraphicControl*>(control) != nullptr) {}

ControlMirror::~ControlMirror() {
  // The control may be half destroyed here: only what the mirror holds is used.
  if (widget_) {
    registry().RemoveWidget(widget_);
    widget_->hide();
    registry().Dispose(widget_);
  }
}

void ControlMirror::SetWidget(QWidget* widget) {
  if (widget_) {
    registry().RemoveWidget(widget_);
    widget_->hide();
    registry().Dispose(widget_);
  }
  widget_ = widget;
  widget->setObjectName(Q(control()->Name));
  registry().AddWidget(widget, this);
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
      if (TCustomForm* form = control()->ParentForm()) registry().LabelsLater(form);
      break;
    case Change::Text:
      ApplyText();
      ApplyAccessibility();
      // A label's caption decides whether it names the edit beside it.
      if (dynamic_cast<TLabel*>(control()))
        if (TCustomForm* form = control()->ParentForm()) registry().LabelsLater(form);
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
        if (auto* m = registry().FindAs<ControlMirror>(c)) {
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
      if (auto* parent = registry().FindAs<ControlMirror>(control()->Parent())) parent->Restack();
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
      auto* child = registry().FindAs<ControlMirror>(self->Controls[i]);
      if (child && child->graphic_ == graphic && child->widget_) child->widget_->raise();
    }
  }
}

// ---- The factory ----

std::unique_ptr<Mirror> CreateMirror(Registry& registry, TComponent* component) {
  if (auto m = CreateFormMirror(registry, component)) return m;
  if (auto m = CreateMenuMirror(registry, component)) return m;
  if (auto* control = dynamic_cast<TControl*>(component)) {
    // A control shows inside its parent's widget; one without a known parent is not shown.
    if (!registry.Find(control->Parent())) return nullptr;
  }
  if (auto m = CreateComCtrlMirror(registry, component)) return m;
  return CreateStdMirror(registry, component);
}

}  // namespace vcl::qt::detail
