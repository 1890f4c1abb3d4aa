// The Qt widget set's core: the widget-set interface over the book of mirrors (inserting,
// changing and removing mirrors), forms waiting to appear, label ties, the loop and posted-
// message wake-ups, modal boxes and the screenshot mode. Timers, input and beeps have units
// of their own.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "beep_sink.h"
#include "input_filter.h"
#include "mirror.h"
#include "timers.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/widgetset.h"

namespace vcl {
class SessionEndSignals;
}

namespace vcl::qt::detail {

class Core final : public Book {
 public:
  Core();
  ~Core() override;

  // ---- The widget-set interface ----
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void Changed(TComponent* component, Change what, int index);
  void Repaint(TControl* control);
  void TimerChanged(TTimer* timer) { timers_->Changed(timer); }
  void Popup(TPopupMenu* menu, int x, int y);
  void Run();
  void Quit();
  void Wake();
  // Lets the loop turn once for a handler that blocks the GUI thread, holding every user's
  // action (Book::Hold) and the user's input events: windows are painted, a close of a form is
  // kept for when the handler has returned (CloseLater), the end of the session is taken in.
  // True once the main form's close or the end of the session has come.
  bool EndRequested();

  // ---- Forms ----
  void ShowLater(TCustomForm* form) override;
  void ShowPendingForms() override;
  void LabelsLater(TCustomForm* form) override;
  void CloseLater(TCustomForm* form) override;
  // The window a modal box belongs to.
  QWidget* ModalParent() const;
  bool SaveScreenshot(TCustomForm* form, const QString& file_name);
  // Screenshot mode also answers every modal box by itself: no one is there to do it.
  void SetScreenshotDir(const QString& dir) {
    screenshot_dir_ = dir;
    auto_answer_ = !dir.isEmpty() || auto_answer_;
  }
  void SetAutoAnswer(bool on) { auto_answer_ = on; }
  bool AutoAnswer() const { return auto_answer_; }
  // Runs a modal dialog. `safe` answers it at once after the session has ended, and with
  // auto-answer on once it has been painted.
  int ExecModal(QDialog& dialog, const std::function<void()>& safe, const QString& what);
  // Watches the session-end signals: when one comes, the open modal boxes take their safe
  // answer (and later ones at once, each logged on stderr: no one is left to read them), and
  // the application's EndSession runs as soon as no handler is running.
  void WatchSessionEnd(vcl::SessionEndSignals* watched);

  int BeepCount() const { return beeps_->Count(); }

 private:
  void DeliverMessages();
  void SessionEnds();
  void EndSessionWhenIdle();
  void CloseWhenIdle();

  // The modal dialogs open now, innermost last, with their safe answers.
  struct OpenModal {
    QPointer<QDialog> dialog;
    std::function<void()> safe;
    QString what;
  };

  QObject* dispatcher_;
  // Ended in this order on the way out, before the mirrors.
  std::unique_ptr<BeepSink> beeps_;
  std::unique_ptr<InputFilter> filter_;
  std::unique_ptr<Timers> timers_;
  std::vector<TCustomForm*> pending_shows_;
  std::set<const TComponent*> pending_labels_;
  bool running_ = false;
  bool quit_requested_ = false;
  bool quit_called_ = false;
  bool auto_answer_ = false;
  QString screenshot_dir_;
  std::vector<OpenModal> open_modals_;
  bool session_ending_ = false;
  // Forms whose close came while a handler held the input, in order.
  std::vector<const TCustomForm*> closes_later_;
  bool main_form_close_ = false;
  std::unique_ptr<QSocketNotifier> session_notifier_;

  std::mutex wake_mutex_;
  std::atomic<bool> wake_pending_{false};
  bool alive_ = true;
};

}  // namespace vcl::qt::detail
