#include "core.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "accessibility.h"
#include "form_mirror.h"
#include "label_mirror.h"
#include "menu_mirrors.h"
#include "screenshots.h"
#include "vcl/forms.h"
#include "vcl/session_end.h"

namespace vcl::qt::detail {

namespace {

void LogSafeAnswer(const char* when, const QString& what) {
  std::fprintf(stderr, "vcl_qt: %sanswered \"%s\" with its safe default\n", when,
               what.toUtf8().constData());
}

constexpr const char* kSessionEnds = "the session ends; ";

}  // namespace

// ---- Life ----

Core::Core() : dispatcher_(new QObject) {
  InstallAccessibility();
  filter_ = std::make_unique<InputFilter>(*this);
  beeps_ = std::make_unique<BeepSink>(dispatcher_);
  timers_ = std::make_unique<Timers>(*this, dispatcher_);
}

Core::~Core() {
  session_notifier_.reset();
  beeps_.reset();
  {
    std::lock_guard lock(wake_mutex_);
    alive_ = false;
  }
  filter_.reset();
  timers_.reset();
  // Forms are normally gone by now.
  Clear();
  delete dispatcher_;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---- The widget-set interface ----

void Core::Insert(TComponent* component) {
  Echo echo(*this);
  if (Find(component)) return;
  std::unique_ptr<Mirror> created = CreateMirror(*this, component);
  if (!created) return;
  Mirror* mirror = created.get();
  auto* control = dynamic_cast<TControl*>(component);
  if (control) mirror->SetParentComponent(control->Parent());
  Keep(component, std::move(created));
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

void Core::Remove(TComponent* component) {
  Echo echo(*this);
  std::unique_ptr<Mirror> mirror = Forget(component);
  if (!mirror) return;
  if (Mirror* parent = Find(mirror->ParentComponent())) parent->ChildRemoved(mirror.get());
  pending_shows_.erase(std::remove(pending_shows_.begin(), pending_shows_.end(), component),
                       pending_shows_.end());
  pending_labels_.erase(component);
}

void Core::Changed(TComponent* component, Change what, int index) {
  Echo echo(*this);
  if (Mirror* mirror = Find(component)) mirror->Apply(what, index);
}

void Core::Repaint(TControl* control) {
  {
    Echo echo(*this);
    ShowPendingForms();
  }
  auto* mirror = dynamic_cast<ControlMirror*>(Find(control));
  if (!mirror || !mirror->widget()) return;
  Echo echo(*this);
  mirror->widget()->repaint();
}

void Core::Popup(TPopupMenu* menu, int x, int y) {
  ShowPendingForms();
  if (auto* m = FindAs<PopupMenuMirror>(menu)) m->Popup(x, y);
}

void Core::Run() {
  if (quit_requested_) {
    quit_requested_ = false;
    return;
  }
  ShowPendingForms();
  if (!screenshot_dir_.isEmpty())
    QTimer::singleShot(0, dispatcher_, [this] {
      RunScreenshotMode(*this, dispatcher_, screenshot_dir_, [this] {
        // A main form that refuses to close would keep the loop running for no one.
        if (quit_called_) return;
        std::fprintf(stderr, "vcl_qt: the main form stayed open; ending the program\n");
        if (Application) Application->Terminate();
        Quit();
      });
    });
  running_ = true;
  QApplication::exec();
  running_ = false;
  quit_requested_ = false;
}

void Core::Quit() {
  quit_called_ = true;
  if (running_)
    QCoreApplication::exit(0);
  else
    quit_requested_ = true;
}

void Core::Wake() {
  std::lock_guard lock(wake_mutex_);
  if (!alive_ || wake_pending_.exchange(true)) return;
  QMetaObject::invokeMethod(
      dispatcher_, [this] { DeliverMessages(); }, Qt::QueuedConnection);
}

bool Core::EndRequested() {
  {
    Hold hold(*this);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  return main_form_close_ || session_ending_;
}

void Core::DeliverMessages() {
  // A running handler holds the input: its messages wait for its end.
  if (Holding()) {
    QTimer::singleShot(kHeldRetryMs, dispatcher_, [this] { DeliverMessages(); });
    return;
  }
  wake_pending_ = false;
  User([] { vcl::DispatchPostedMessages(); });
}

// ---- Forms ----

void Core::ShowLater(TCustomForm* form) {
  if (std::find(pending_shows_.begin(), pending_shows_.end(), form) == pending_shows_.end())
    pending_shows_.push_back(form);
  QTimer::singleShot(0, dispatcher_, [this] {
    Echo echo(*this);
    ShowPendingForms();
  });
}

void Core::ShowPendingForms() {
  std::vector<TCustomForm*> forms;
  forms.swap(pending_shows_);
  for (TCustomForm* form : forms)
    if (auto* m = FindAs<FormMirror>(form)) {
      m->ShowNow();
      TieLabels(*this, form);
    }
}

QWidget* Core::ModalParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (Application && Application->MainForm())
    if (auto* m = FindAs<FormMirror>(Application->MainForm()))
      if (m->widget()->isVisible()) return m->widget();
  return nullptr;
}

void Core::LabelsLater(TCustomForm* form) {
  if (!pending_labels_.insert(form).second) return;
  QTimer::singleShot(0, dispatcher_, [this] {
    std::set<const TComponent*> forms;
    forms.swap(pending_labels_);
    for (const TComponent* f : forms)
      if (auto* m = FindAs<FormMirror>(f)) TieLabels(*this, m->form());
  });
}

bool Core::SaveScreenshot(TCustomForm* form, const QString& file_name) {
  return detail::SaveScreenshot(*this, form, file_name);
}

int Core::ExecModal(QDialog& dialog, const std::function<void()>& safe, const QString& what) {
  if (session_ending_) {
    LogSafeAnswer(kSessionEnds, what);
    QTimer::singleShot(0, &dialog, safe);
  } else if (auto_answer_) {
    QPointer<QDialog> guard(&dialog);
    QTimer::singleShot(300, &dialog, [guard, safe, what] {
      if (!guard || !guard->isVisible()) return;
      LogSafeAnswer("", what);
      safe();
    });
  }
  open_modals_.push_back({&dialog, safe, what});
  int result = dialog.exec();
  open_modals_.pop_back();
  return result;
}

void Core::CloseLater(TCustomForm* form) {
  if (Application && form == Application->MainForm()) main_form_close_ = true;
  if (std::find(closes_later_.begin(), closes_later_.end(), form) != closes_later_.end()) return;
  closes_later_.push_back(form);
  if (closes_later_.size() == 1) CloseWhenIdle();
}

void Core::CloseWhenIdle() {
  if (InUserAction() || Holding() || !open_modals_.empty()) {
    QTimer::singleShot(kHeldRetryMs, dispatcher_, [this] { CloseWhenIdle(); });
    return;
  }
  std::vector<const TCustomForm*> forms;
  forms.swap(closes_later_);
  main_form_close_ = false;
  for (const TCustomForm* form : forms) {
    // A main form that has closed meanwhile (the user closed it again from a box the handler
    // showed) is not closed twice.
    if (Application && form == Application->MainForm() && Application->Terminated) continue;
    if (auto* m = FindAs<FormMirror>(form)) m->CloseRequested();
  }
}

// ---- The end of the session ----

void Core::WatchSessionEnd(vcl::SessionEndSignals* watched) {
  session_notifier_.reset();
  if (!watched || watched->ReadFd() < 0) return;
  session_notifier_ = std::make_unique<QSocketNotifier>(watched->ReadFd(), QSocketNotifier::Read);
  QObject::connect(session_notifier_.get(), &QSocketNotifier::activated, dispatcher_,
                   [this, watched] {
                     if (watched->Take()) SessionEnds();
                   });
}

void Core::SessionEnds() {
  if (session_ending_) return;
  session_ending_ = true;
  // The boxes open now belong to handlers that are waiting for them: answer them, and close
  // the main form once those handlers have returned.
  for (auto it = open_modals_.rbegin(); it != open_modals_.rend(); ++it) {
    if (!it->dialog) continue;
    LogSafeAnswer(kSessionEnds, it->what);
    it->safe();
  }
  EndSessionWhenIdle();
}

void Core::EndSessionWhenIdle() {
  if (InUserAction() || !open_modals_.empty()) {
    QTimer::singleShot(50, dispatcher_, [this] { EndSessionWhenIdle(); });
    return;
  }
  User([] {
    if (Application) Application->EndSession();
  });
}

}  // namespace vcl::qt::detail
