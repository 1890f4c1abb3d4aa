// The Qt widget set's state: the mirrors by component and by widget, the timers, the loop,
// posted-message wake-ups, the keyboard and focus filter, modal answering and screenshots.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

#include "mirror.h"
#include "vcl/vcl.h"
#include "vcl/widgetset.h"

class QTimer;
class QDialog;

namespace vcl::qt::detail {

class Registry {
 public:
  Registry();
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  // ---- The book of mirrors ----
  Mirror* Find(const TComponent* component) const;
  template <class M>
  M* FindAs(const TComponent* component) const {
    return dynamic_cast<M*>(Find(component));
  }
  // Records that `widget` (a mirror's main widget or one of its parts) shows `mirror`.
  void AddWidget(QWidget* widget, Mirror* mirror);
  void RemoveWidget(QWidget* widget);
  // The mirror of the widget or of its nearest ancestor that has one.
  Mirror* MirrorOfWidget(const QWidget* widget) const;
  // Deletes a widget or action that a mirror let go: at once, or later while a user's action
  // is running (it may be the one whose signal started it).
  void Dispose(QObject* object);

  // ---- Between Qt and the library ----
  // True while a change of the library is being mirrored: widget signals then echo it.
  bool Mirroring() const { return mirroring_ > 0; }
  // Runs a user's action from a Qt callback (ignored while mirroring).
  void User(const std::function<void()>& action);
  // Mirrors while it lives: widget signals are echoes then.
  class Echo {
   public:
    explicit Echo(Registry& registry) : registry_(registry) { ++registry_.mirroring_; }
    ~Echo() { --registry_.mirroring_; }
    Echo(const Echo&) = delete;
    Echo& operator=(const Echo&) = delete;

   private:
    Registry& registry_;
  };

  // ---- The widget-set interface ----
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void Changed(TComponent* component, Change what, int index);
  void Repaint(TControl* control);
  void TimerChanged(TTimer* timer);
  void Popup(TPopupMenu* menu, int x, int y);
  void Run();
  void Quit();
  void Wake();

  // ---- Forms ----
  // A form to show when the loop next runs (or before Repaint, a modal call, a screenshot).
  void ShowLater(TCustomForm* form);
  void ShowPendingForms();
  // The window a modal box belongs to.
  QWidget* ModalParent() const;
  // Ties labels to the edits beside them on this form when the loop next runs.
  void LabelsLater(TCustomForm* form);
  // Saves the form's window as a PNG file.
  bool SaveScreenshot(TCustomForm* form, const QString& file_name);
  // Screenshot mode also answers every modal box by itself: no one is there to do it.
  void SetScreenshotDir(const QString& dir) {
    screenshot_dir_ = dir;
    auto_answer_ = !dir.isEmpty() || auto_answer_;
  }
  void SetAutoAnswer(bool on) { auto_answer_ = on; }
  bool AutoAnswer() const { return auto_answer_; }
  // Runs a modal dialog; with auto-answer on, `safe` answers it once it has been painted.
  int ExecModal(QDialog& dialog, const std::function<void()>& safe, const QString& what);

  int BeepCount() const { return beeps_->load(); }

 private:
  class EventFilter;
  void TieLabels(TCustomForm* form);
  void TakeScreenshots();
  void RunScreenshotMode();
  void DeliverMessages();

  std::unordered_map<const TComponent*, std::unique_ptr<Mirror>> mirrors_;
  std::unordered_map<const QWidget*, Mirror*> widgets_;
  std::unordered_map<const TTimer*, QTimer*> timers_;
  std::vector<TCustomForm*> pending_shows_;
  std::set<const TComponent*> pending_labels_;
  int mirroring_ = 0;
  int depth_ = 0;
  bool running_ = false;
  bool quit_requested_ = false;
  bool quit_called_ = false;
  bool auto_answer_ = false;
  QString screenshot_dir_;
  // Shared with the platform's beep sink, which any thread may call.
  std::shared_ptr<std::atomic<int>> beeps_ = std::make_shared<std::atomic<int>>(0);

  QObject* dispatcher_;
  std::unique_ptr<EventFilter> filter_;
  std::mutex wake_mutex_;
  std::atomic<bool> wake_pending_{false};
  bool alive_ = true;
};

}  // namespace vcl::qt::detail
