#include "registry.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <map>

#include "accessibility.h"
#include "form_mirror.h"
#include "menu_mirrors.h"
#include "platform/testing.h"
#include "qt_text.h"
#include "std_mirrors.h"

#ifdef VCL_QT_HAVE_XCB
#include <xcb/xcb.h>

#include <QGuiApplication>
#endif

namespace vcl::qt::detail {

// ---- Keys, context menus and focus, for every widget of the application ----

class Registry::EventFilter : public QObject {
 public:
  explicit EventFilter(Registry& registry) : registry_(registry) {}

  bool eventFilter(QObject* object, QEvent* event) override {
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

  void FocusChanged(QWidget* now) {
    if (registry_.Mirroring() || !now) return;
    auto* m = dynamic_cast<ControlMirror*>(registry_.MirrorOfWidget(now));
    if (!m) return;
    auto* control = dynamic_cast<TWinControl*>(m->control());
    if (!control || dynamic_cast<TCustomForm*>(control)) return;
    TCustomForm* form = control->ParentForm();
    if (!form || form->ActiveControl() == control) return;
    registry_.User([form, control] { input::Focus(form, control); });
  }

 private:
  // The window control that a key goes to: the one whose widget has the focus.
  TWinControl* KeyTarget(QObject* object) const {
    if (!object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    // A key event travels up the parents when ignored; only its first receiver counts.
    QWidget* focus = QApplication::focusWidget();
    if (!focus) focus = widget->window()->focusWidget();
    if (focus ? widget != focus : !widget->isWindow()) return nullptr;
    auto* m = dynamic_cast<ControlMirror*>(registry_.MirrorOfWidget(widget));
    return m ? dynamic_cast<TWinControl*>(m->control()) : nullptr;
  }

  bool Key(QObject* object, QKeyEvent* event) {
    if (replaying_ || registry_.Mirroring()) return false;
    TWinControl* target = KeyTarget(object);
    if (!target) return false;
    WORD vk = VirtualKey(event->key());
    TShiftState shift = ShiftOf(event->modifiers());
    // Tab moves the focus between controls; the handlers do not see it.
    if (vk == 0x09) return false;
    QPointer<QObject> guard(object);
    bool swallowed = false;
    if (event->type() == QEvent::KeyRelease) {
      if (vk) registry_.User([&] { swallowed = input::KeyUp(target, vk, shift) == 0; });
      return swallowed;
    }
    if (vk) registry_.User([&] { swallowed = input::KeyDown(target, vk, shift) == 0; });
    if (swallowed || !guard || !registry_.Find(target)) return true;
    QString text = event->text();
    if (text.isEmpty() || text[0] == u'\t') return false;
    AnsiString typed = A(text.left(1));
    char ch = typed.IsEmpty() ? '\0' : typed[1];
    if (!ch) return false;
    char result = ch;
    registry_.User([&] { result = input::KeyPress(target, ch); });
    if (result == 0 || !guard || !registry_.Find(target)) return true;
    if (result == ch) return false;
    // The handler changed the character: the widget gets the new one instead.
    QKeyEvent replacement(QEvent::KeyPress, event->key(), event->modifiers(), Q(AnsiString(result)),
                          event->isAutoRepeat());
    replaying_ = true;
    QCoreApplication::sendEvent(object, &replacement);
    replaying_ = false;
    return true;
  }

  bool ContextMenu(QObject* object, QContextMenuEvent* event) {
    if (!object->isWidgetType() || registry_.Mirroring()) return false;
    // The nearest control's menu (an edit's viewport belongs to the edit); one without a menu
    // leaves the event to the widget or to its parent control's menu.
    auto* m = dynamic_cast<ControlMirror*>(registry_.MirrorOfWidget(static_cast<QWidget*>(object)));
    if (!m) return false;
    TControl* control = m->control();
    TPopupMenu* menu = control->PopupMenu;
    if (!menu || !menu->AutoPopup()) return false;
    QPoint at = event->globalPos();
    registry_.User([control, menu, at] {
      Application->Guard([&] {
        menu->PopupComponent = control;
        menu->Popup(at.x(), at.y());
      });
    });
    return true;
  }

  Registry& registry_;
  bool replaying_ = false;
};

// ---- Life ----

Registry::Registry() : dispatcher_(new QObject) {
  InstallAccessibility();
  filter_ = std::make_unique<EventFilter>(*this);
  qApp->installEventFilter(filter_.get());
  QObject::connect(qApp, &QApplication::focusChanged, dispatcher_,
                   [this](QWidget*, QWidget* now) { filter_->FocusChanged(now); });

  // The sink runs before the platform waits out the beep's duration, possibly on a worker
  // thread or with the GUI thread blocked in a handler: the X bell goes out at once on Qt's
  // own connection (xcb is thread-safe); without X the bell rings from the GUI thread.
  std::shared_ptr<std::atomic<int>> count = beeps_;
  QPointer<QObject> gui = dispatcher_;
  void* connection = nullptr;
#ifdef VCL_QT_HAVE_XCB
  if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
    connection = x11->connection();
#endif
  platform::testing::SetBeepSink([count, gui, connection](DWORD, DWORD) {
    ++*count;
#ifdef VCL_QT_HAVE_XCB
    if (connection) {
      auto* c = static_cast<xcb_connection_t*>(connection);
      xcb_bell(c, 0);
      xcb_flush(c);
      return;
    }
#endif
    if (gui)
      QMetaObject::invokeMethod(
          gui, [] { QApplication::beep(); }, Qt::QueuedConnection);
  });
}

Registry::~Registry() {
  platform::testing::SetBeepSink(nullptr);
  {
    std::lock_guard lock(wake_mutex_);
    alive_ = false;
  }
  qApp->removeEventFilter(filter_.get());
  for (auto& [timer, qtimer] : timers_) delete qtimer;
  timers_.clear();
  // Forms are normally gone by now; what is left goes parents first, so children find their
  // widgets already deleted.
  mirrors_.clear();
  delete dispatcher_;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---- The book ----

Mirror* Registry::Find(const TComponent* component) const {
  if (!component) return nullptr;
  auto it = mirrors_.find(component);
  return it == mirrors_.end() ? nullptr : it->second.get();
}

void Registry::AddWidget(QWidget* widget, Mirror* mirror) {
  widgets_[widget] = mirror;
}

void Registry::RemoveWidget(QWidget* widget) {
  widgets_.erase(widget);
}

Mirror* Registry::MirrorOfWidget(const QWidget* widget) const {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    auto it = widgets_.find(w);
    if (it != widgets_.end()) return it->second;
  }
  return nullptr;
}

void Registry::Dispose(QObject* object) {
  if (!object) return;
  if (depth_ > 0)
    object->deleteLater();
  else
    delete object;
}

void Registry::User(const std::function<void()>& action) {
  if (mirroring_ > 0) return;
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

// ---- The widget-set interface ----

void Registry::Insert(TComponent* component) {
  Echo echo(*this);
  if (Find(component)) return;
  std::unique_ptr<Mirror> created = CreateMirror(*this, component);
  if (!created) return;
  Mirror* mirror = created.get();
  auto* control = dynamic_cast<TControl*>(component);
  if (control) mirror->SetParentComponent(control->Parent());
  mirrors_[component] = std::move(created);
  mirror->ApplyAll();
  if (control) {
    if (Mirror* parent = Find(control->Parent())) {
      parent->ChildAdded(mirror);
      auto* child = dynamic_cast<ControlMirror*>(mirror);
      if (child && child->IsGraphic())
        if (auto* p = dynamic_cast<ControlMirror*>(parent)) p->Restack();
    }
    if (TCustomForm* form = control->ParentForm()) LabelsLater(form);
  }
}

void Registry::Remove(TComponent* component) {
  Echo echo(*this);
  auto it = mirrors_.find(component);
  if (it == mirrors_.end()) return;
  std::unique_ptr<Mirror> mirror = std::move(it->second);
  mirrors_.erase(it);
  if (Mirror* parent = Find(mirror->ParentComponent())) parent->ChildRemoved(mirror.get());
  pending_shows_.erase(std::remove(pending_shows_.begin(), pending_shows_.end(), component),
                       pending_shows_.end());
  pending_labels_.erase(component);
}

void Registry::Changed(TComponent* component, Change what, int index) {
  Echo echo(*this);
  if (Mirror* mirror = Find(component)) mirror->Apply(what, index);
}

void Registry::Repaint(TControl* control) {
  {
    Echo echo(*this);
    ShowPendingForms();
  }
  auto* mirror = dynamic_cast<ControlMirror*>(Find(control));
  if (!mirror || !mirror->widget()) return;
  Echo echo(*this);
  mirror->widget()->repaint();
}

void Registry::TimerChanged(TTimer* timer) {
  auto it = timers_.find(timer);
  if (!timer->Active()) {
    if (it != timers_.end()) {
      it->second->stop();
      Dispose(it->second);
      timers_.erase(it);
    }
    return;
  }
  QTimer* qtimer;
  if (it == timers_.end()) {
    qtimer = new QTimer;
    QObject::connect(qtimer, &QTimer::timeout, dispatcher_,
                     [this, timer] { User([timer] { input::FireTimer(timer); }); });
    timers_[timer] = qtimer;
  } else {
    qtimer = it->second;
  }
  // Every change starts the interval anew, as setting a Windows timer does.
  qtimer->start(static_cast<int>(std::min<unsigned>(timer->Interval, 0x7FFFFFFF)));
}

void Registry::Popup(TPopupMenu* menu, int x, int y) {
  ShowPendingForms();
  if (auto* m = FindAs<PopupMenuMirror>(menu)) m->Popup(x, y);
}

void Registry::Run() {
  if (quit_requested_) {
    quit_requested_ = false;
    return;
  }
  ShowPendingForms();
  if (!screenshot_dir_.isEmpty())
    QTimer::singleShot(0, dispatcher_, [this] { RunScreenshotMode(); });
  running_ = true;
  QApplication::exec();
  running_ = false;
  quit_requested_ = false;
}

void Registry::Quit() {
  quit_called_ = true;
  if (running_)
    QCoreApplication::exit(0);
  else
    quit_requested_ = true;
}

void Registry::Wake() {
  std::lock_guard lock(wake_mutex_);
  if (!alive_ || wake_pending_.exchange(true)) return;
  QMetaObject::invokeMethod(
      dispatcher_, [this] { DeliverMessages(); }, Qt::QueuedConnection);
}

void Registry::DeliverMessages() {
  wake_pending_ = false;
  User([] { vcl::DispatchPostedMessages(); });
}

// ---- Forms ----

void Registry::ShowLater(TCustomForm* form) {
  if (std::find(pending_shows_.begin(), pending_shows_.end(), form) == pending_shows_.end())
    pending_shows_.push_back(form);
  QTimer::singleShot(0, dispatcher_, [this] {
    Echo echo(*this);
    ShowPendingForms();
  });
}

void Registry::ShowPendingForms() {
  std::vector<TCustomForm*> forms;
  forms.swap(pending_shows_);
  for (TCustomForm* form : forms)
    if (auto* m = FindAs<FormMirror>(form)) {
      m->ShowNow();
      TieLabels(form);
    }
}

QWidget* Registry::ModalParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (Application && Application->MainForm())
    if (auto* m = FindAs<FormMirror>(Application->MainForm()))
      if (m->widget()->isVisible()) return m->widget();
  return nullptr;
}

void Registry::LabelsLater(TCustomForm* form) {
  if (!pending_labels_.insert(form).second) return;
  QTimer::singleShot(0, dispatcher_, [this] {
    std::set<const TComponent*> forms;
    forms.swap(pending_labels_);
    for (const TComponent* f : forms)
      if (auto* m = FindAs<FormMirror>(f)) TieLabels(m->form());
  });
}

namespace {

struct Box {
  int left, top, right, bottom;
};

Box BoxOf(TControl* c) {
  return {c->Left, c->Top, c->Left + c->Width, c->Top + c->Height};
}

// How well a label names an edit: a label just left of it on the same line, or just above
// it; lower is better, negative means not at all.
int LabelScore(const Box& label, const Box& edit) {
  int overlap = std::min(label.bottom, edit.bottom) - std::max(label.top, edit.top);
  int label_height = label.bottom - label.top, edit_height = edit.bottom - edit.top;
  int gap_right = edit.left - label.right;
  if (gap_right >= -2 && gap_right <= 48 && overlap * 2 >= std::min(label_height, edit_height))
    return std::max(0, gap_right);
  int gap_below = edit.top - label.bottom;
  if (gap_below >= -2 && gap_below <= 16 && std::abs(label.left - edit.left) <= 24)
    return 100 + std::max(0, gap_below);
  return -1;
}

void Collect(Registry& registry, TWinControl* parent, std::vector<LabelMirror*>& labels,
             std::vector<ControlMirror*>& values) {
  for (int i = 0; i < parent->ControlCount; ++i) {
    TControl* c = parent->Controls[i];
    Mirror* m = registry.Find(c);
    if (auto* label = dynamic_cast<LabelMirror*>(m))
      labels.push_back(label);
    else if (auto* control = dynamic_cast<ControlMirror*>(m); control && control->TextIsValue())
      values.push_back(control);
    if (auto* win = dynamic_cast<TWinControl*>(c)) Collect(registry, win, labels, values);
  }
}

}  // namespace

void Registry::TieLabels(TCustomForm* form) {
  Echo echo(*this);
  std::vector<LabelMirror*> labels;
  std::vector<ControlMirror*> values;
  Collect(*this, form, labels, values);
  std::map<LabelMirror*, ControlMirror*> ties;
  std::set<ControlMirror*> named;
  // Labels that name their control themselves come first.
  for (LabelMirror* label : labels)
    if (TWinControl* target = label->label()->FocusControl())
      if (auto* m = FindAs<ControlMirror>(target)) {
        ties[label] = m;
        named.insert(m);
      }
  // Then, nearest first, a visible label beside a control that no label names yet.
  struct Pair {
    int score;
    LabelMirror* label;
    ControlMirror* value;
  };
  std::vector<Pair> pairs;
  for (LabelMirror* label : labels) {
    TLabel* l = label->label();
    if (ties.count(label) || !l->Visible() || l->Caption().IsEmpty()) continue;
    for (ControlMirror* value : values) {
      if (named.count(value) || value->control()->Parent() != l->Parent()) continue;
      int score = LabelScore(BoxOf(l), BoxOf(value->control()));
      if (score >= 0) pairs.push_back({score, label, value});
    }
  }
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const Pair& a, const Pair& b) { return a.score < b.score; });
  for (const Pair& p : pairs) {
    if (ties.count(p.label) || named.count(p.value)) continue;
    ties[p.label] = p.value;
    named.insert(p.value);
  }
  for (LabelMirror* label : labels) {
    auto it = ties.find(label);
    label->TieTo(it == ties.end() ? nullptr : it->second);
  }
}

bool Registry::SaveScreenshot(TCustomForm* form, const QString& file_name) {
  {
    Echo echo(*this);
    ShowPendingForms();
  }
  auto* m = FindAs<FormMirror>(form);
  if (!m || !m->widget()->isVisible()) return false;
  QFileInfo info(file_name);
  QDir().mkpath(info.absolutePath());
  return m->widget()->grab().save(file_name, "PNG");
}

int Registry::ExecModal(QDialog& dialog, const std::function<void()>& safe, const QString& what) {
  if (auto_answer_) {
    QPointer<QDialog> guard(&dialog);
    QTimer::singleShot(300, &dialog, [guard, safe, what] {
      if (!guard || !guard->isVisible()) return;
      std::fprintf(stderr, "vcl_qt: answered \"%s\" with its safe default\n",
                   what.toUtf8().constData());
      safe();
    });
  }
  return dialog.exec();
}

// ---- Screenshot mode ----

void Registry::TakeScreenshots() {
  for (auto& [component, mirror] : mirrors_) {
    auto* m = dynamic_cast<FormMirror*>(mirror.get());
    if (!m || !m->widget()->isVisible()) continue;
    QString name = Q(m->form()->Name);
    if (name.isEmpty()) name = Q(m->form()->ClassName());
    QString file = QDir(screenshot_dir_).filePath(name + QStringLiteral(".png"));
    if (!SaveScreenshot(m->form(), file))
      std::fprintf(stderr, "vcl_qt: could not save %s\n", file.toUtf8().constData());
  }
}

void Registry::RunScreenshotMode() {
  auto* poll = new QTimer(dispatcher_);
  auto waited = std::make_shared<int>(0);
  auto painted = std::make_shared<bool>(false);
  QObject::connect(poll, &QTimer::timeout, dispatcher_, [this, poll, waited, painted] {
    *waited += 50;
    TForm* main = Application ? Application->MainForm() : nullptr;
    auto* m = main ? FindAs<FormMirror>(main) : nullptr;
    QWindow* window = m ? m->widget()->windowHandle() : nullptr;
    bool ready = m && m->widget()->isVisible() && window && window->isExposed();
    // Once exposed, one more round lets the first paint reach the screen.
    if (ready && !*painted) {
      *painted = true;
      return;
    }
    if (!ready && *waited < 10000) return;
    poll->stop();
    poll->deleteLater();
    QDir().mkpath(screenshot_dir_);
    TakeScreenshots();
    if (main) User([main] { input::CloseRequest(main); });
    // A main form that refuses to close would keep the loop running for no one.
    if (!quit_called_) {
      std::fprintf(stderr, "vcl_qt: the main form stayed open; ending the program\n");
      if (Application) Application->Terminate();
      Quit();
    }
  });
  poll->start(50);
}

}  // namespace vcl::qt::detail
