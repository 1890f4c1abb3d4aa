#include "input_filter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPointer>

#include "mirror.h"
#include "qt_text.h"
#include "vcl/forms.h"
#include "vcl/qt_widgetset.h"

namespace vcl::qt::detail {

InputFilter::InputFilter(Book& book) : book_(book) {
  qApp->installEventFilter(this);
  QObject::connect(qApp, &QApplication::focusChanged, this,
                   [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

InputFilter::~InputFilter() {
  qApp->removeEventFilter(this);
}

bool InputFilter::eventFilter(QObject* object, QEvent* event) {
  if (event->type() == kForceClickEvent) return ForceClick(object);
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return Key(object, static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
      return ContextMenu(object, static_cast<QContextMenuEvent*>(event));
    default:
      return false;
  }
}

void InputFilter::FocusChanged(QWidget* now) {
  if (book_.Mirroring() || !now) return;
  auto* m = dynamic_cast<ControlMirror*>(book_.MirrorOfWidget(now));
  if (!m) return;
  auto* control = dynamic_cast<TWinControl*>(m->control());
  if (!control || dynamic_cast<TCustomForm*>(control)) return;
  TCustomForm* form = control->ParentForm();
  if (!form || form->ActiveControl() == control) return;
  book_.User([form, control] { input::Focus(form, control); });
}

// The window control that a key goes to: the one whose widget has the focus.
static TWinControl* KeyTarget(Book& book, QObject* object) {
  if (!object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  // A key event travels up the parents when ignored; only its first receiver counts.
  QWidget* focus = QApplication::focusWidget();
  if (!focus) focus = widget->window()->focusWidget();
  if (focus ? widget != focus : !widget->isWindow()) return nullptr;
  auto* m = dynamic_cast<ControlMirror*>(book.MirrorOfWidget(widget));
  return m ? dynamic_cast<TWinControl*>(m->control()) : nullptr;
}

bool InputFilter::Key(QObject* object, QKeyEvent* event) {
  if (replaying_ || book_.Mirroring()) return false;
  TWinControl* target = KeyTarget(book_, object);
  if (!target) return false;
  WORD vk = VirtualKey(event->key());
  TShiftState shift = ShiftOf(event->modifiers());
  // Tab moves the focus between controls; the handlers do not see it.
  if (vk == 0x09) return false;
  QPointer<QObject> guard(object);
  bool swallowed = false;
  if (event->type() == QEvent::KeyRelease) {
    if (vk) book_.User([&] { swallowed = input::KeyUp(target, vk, shift) == 0; });
    return swallowed;
  }
  if (vk) book_.User([&] { swallowed = input::KeyDown(target, vk, shift) == 0; });
  if (swallowed || !guard || !book_.Find(target)) return true;
  QString text = event->text();
  if (text.isEmpty() || text[0] == u'\t') return false;
  AnsiString typed = A(text.left(1));
  char ch = typed.IsEmpty() ? '\0' : typed[1];
  if (!ch) return false;
  char result = ch;
  book_.User([&] { result = input::KeyPress(target, ch); });
  if (result == 0 || !guard || !book_.Find(target)) return true;
  if (result == ch) return false;
  // The handler changed the character: the widget gets the new one instead.
  QKeyEvent replacement(QEvent::KeyPress, event->key(), event->modifiers(), Q(AnsiString(result)),
                        event->isAutoRepeat());
  replaying_ = true;
  QCoreApplication::sendEvent(object, &replacement);
  replaying_ = false;
  return true;
}

bool InputFilter::ContextMenu(QObject* object, QContextMenuEvent* event) {
  if (!object->isWidgetType() || book_.Mirroring()) return false;
  // The nearest control's menu (an edit's viewport belongs to the edit); one without a menu
  // leaves the event to the widget or to its parent control's menu.
  auto* m = dynamic_cast<ControlMirror*>(book_.MirrorOfWidget(static_cast<QWidget*>(object)));
  if (!m) return false;
  TControl* control = m->control();
  TPopupMenu* menu = control->PopupMenu;
  if (!menu || !menu->AutoPopup()) return false;
  QPoint at = event->globalPos();
  book_.User([control, menu, at] {
    Application->Guard([&] {
      menu->PopupComponent = control;
      menu->Popup(at.x(), at.y());
    });
  });
  return true;
}

// The control's click as its program's code runs it: no check that a user could reach it.
bool InputFilter::ForceClick(QObject* object) {
  if (!object->isWidgetType() || book_.Mirroring()) return false;
  auto* m = dynamic_cast<ControlMirror*>(book_.MirrorOfWidget(static_cast<QWidget*>(object)));
  if (!m) return false;
  TControl* control = m->control();
  book_.User([control] { Application->Guard([control] { control->Click(); }); });
  return true;
}

}  // namespace vcl::qt::detail
