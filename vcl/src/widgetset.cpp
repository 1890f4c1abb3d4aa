// The widget set in use, what it is told of, window handles and the queue of window messages.
#include "vcl/widgetset.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "gui_internal.h"
#include "platform/gui.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/menus.h"

namespace vcl {
namespace {

std::atomic<WidgetSet*> g_widget_set{nullptr};
std::atomic<std::thread::id> g_gui_thread{};

struct SendState {
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  LRESULT result = 0;
};

struct QueuedMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
  std::shared_ptr<SendState> send;  // set for SendMessageA from another thread
};

std::mutex g_queue_mutex;
std::deque<QueuedMessage> g_queue;
// Set when the message loop has ended: nobody is left to answer a sent message.
std::atomic<bool> g_sends_refused{false};

void Finish(SendState& state, LRESULT result) {
  std::lock_guard lock(state.mutex);
  if (state.done) return;
  state.result = result;
  state.done = true;
  state.done_cv.notify_all();
}

// Takes the sent messages for `hwnd` (nullptr: every window) out of the queue and finishes them
// with 0.
void FinishQueuedSends(HWND hwnd) {
  std::vector<std::shared_ptr<SendState>> finished;
  {
    std::lock_guard lock(g_queue_mutex);
    for (auto it = g_queue.begin(); it != g_queue.end();) {
      if (it->send && (hwnd == nullptr || it->hwnd == hwnd)) {
        finished.push_back(it->send);
        it = g_queue.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& state : finished) Finish(*state, 0);
}

// Window handles of live controls (GUI thread).
std::mutex g_windows_mutex;
std::map<HWND, TWinControl*>& Windows() {
  static std::map<HWND, TWinControl*> windows;
  return windows;
}
std::uintptr_t g_next_handle = 0x10000;

TWinControl* WindowOf(HWND hwnd) {
  std::lock_guard lock(g_windows_mutex);
  auto it = Windows().find(hwnd);
  return it == Windows().end() ? nullptr : it->second;
}

bool OnGuiThread() {
  std::thread::id gui = g_gui_thread.load();
  return gui == std::thread::id{} || gui == std::this_thread::get_id();
}

LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  TWinControl* control = WindowOf(hwnd);
  if (!control) return 0;
  TMessage message{msg, wparam, lparam, 0};
  detail::Guarded([&] { control->WndProc(message); });
  return message.Result;
}

void Enqueue(QueuedMessage message) {
  {
    std::lock_guard lock(g_queue_mutex);
    g_queue.push_back(std::move(message));
  }
  if (WidgetSet* ws = g_widget_set.load()) ws->Wake();
}

}  // namespace

void SetWidgetSet(WidgetSet* widget_set) {
  g_widget_set.store(widget_set);
  if (widget_set) g_gui_thread.store(std::this_thread::get_id());
}

WidgetSet* CurrentWidgetSet() {
  return g_widget_set.load();
}

std::size_t PendingMessageCount() {
  std::lock_guard lock(g_queue_mutex);
  return g_queue.size();
}

std::size_t DispatchPostedMessages() {
  // Only the messages queued when the round starts: a handler that posts again is served by
  // the next round, so a loop that keeps posting cannot starve the caller.
  std::deque<QueuedMessage> batch;
  {
    std::lock_guard lock(g_queue_mutex);
    batch.swap(g_queue);
  }
  std::size_t count = 0;
  for (QueuedMessage& m : batch) {
    LRESULT result = Deliver(m.hwnd, m.msg, m.wparam, m.lparam);
    if (m.send) Finish(*m.send, result);
    ++count;
  }
  if (Application) Application->DeleteReleasedForms();
  return count;
}

namespace detail {

WidgetSet& RequireWidgetSet() {
  WidgetSet* ws = g_widget_set.load();
  if (!ws) throw EInvalidOperation("No widget set is installed");
  return *ws;
}

void Guarded(const std::function<void()>& fn) {
  if (Application)
    Application->Guard(fn);
  else
    fn();
}

HWND AllocateHandle(TWinControl* control) {
  HWND hwnd;
  {
    std::lock_guard lock(g_windows_mutex);
    hwnd = reinterpret_cast<HWND>(g_next_handle);
    g_next_handle += 0x10;
    Windows()[hwnd] = control;
  }
  if (g_gui_thread.load() == std::thread::id{}) g_gui_thread.store(std::this_thread::get_id());
  platform::WindowMessageTarget target;
  target.post = [hwnd](UINT msg, WPARAM wparam, LPARAM lparam) {
    Enqueue({hwnd, msg, wparam, lparam, nullptr});
  };
  target.send = [hwnd](UINT msg, WPARAM wparam, LPARAM lparam) -> LRESULT {
    if (OnGuiThread()) return Deliver(hwnd, msg, wparam, lparam);
    if (g_sends_refused) return 0;
    auto state = std::make_shared<SendState>();
    Enqueue({hwnd, msg, wparam, lparam, state});
    // The sender waits for the GUI thread, but not for a window that went away or a loop that
    // ended in the meantime (checked now and then, for a send that raced with either).
    std::unique_lock lock(state->mutex);
    while (!state->done_cv.wait_for(lock, std::chrono::milliseconds(50),
                                    [&] { return state->done; })) {
      if (g_sends_refused || !WindowOf(hwnd)) {
        lock.unlock();
        FinishQueuedSends(hwnd);
        lock.lock();
        if (!state->done) {
          state->done = true;
          state->result = 0;
        }
      }
    }
    return state->result;
  };
  platform::RegisterWindow(hwnd, std::move(target));
  return hwnd;
}

void ReleaseHandle(HWND hwnd) {
  platform::UnregisterWindow(hwnd);
  {
    std::lock_guard lock(g_windows_mutex);
    Windows().erase(hwnd);
  }
  FinishQueuedSends(hwnd);
}

void EndPendingSends() {
  g_sends_refused = true;
  FinishQueuedSends(nullptr);
}

void AcceptSends() {
  g_sends_refused = false;
}

void RealizeTree(TComponent* component) {
  WidgetSet* ws = g_widget_set.load();
  if (!ws || component->Realized()) return;
  component->SetRealized(true);
  ws->Insert(component);
  if (auto* win = dynamic_cast<TWinControl*>(component))
    for (int i = 0; i < win->ControlCount; ++i) RealizeTree(win->Controls[i]);
}

void RealizeMenuItem(TMenuItem* item) {
  WidgetSet* ws = g_widget_set.load();
  if (!ws || item->Realized()) return;
  item->SetRealized(true);
  ws->Insert(item);
  for (int i = 0; i < item->Count; ++i) RealizeMenuItem(item->Items[i]);
}

void RealizeForm(TCustomForm* form) {
  WidgetSet* ws = g_widget_set.load();
  if (!ws || form->Realized()) return;
  form->SetRealized(true);
  ws->Insert(form);
  for (int i = 0; i < form->ComponentCount; ++i) {
    if (auto* menu = dynamic_cast<TMenu*>(form->Components[i])) {
      if (menu->Realized()) continue;
      menu->SetRealized(true);
      ws->Insert(menu);
      RealizeMenuItem(menu->Items);
    }
  }
  if (form->Menu()) form->Changed(Change::Menu);
  for (int i = 0; i < form->ControlCount; ++i) RealizeTree(form->Controls[i]);
}

void UnrealizeTree(TComponent* component) {
  if (!component->Realized()) return;
  if (auto* win = dynamic_cast<TWinControl*>(component))
    for (int i = win->ControlCount - 1; i >= 0; --i) UnrealizeTree(win->Controls[i]);
  if (auto* item = dynamic_cast<TMenuItem*>(component))
    for (int i = item->Count - 1; i >= 0; --i) UnrealizeTree(item->Items[i]);
  if (auto* menu = dynamic_cast<TMenu*>(component)) UnrealizeTree(menu->Items);
  if (WidgetSet* ws = g_widget_set.load()) ws->Remove(component);
  component->SetRealized(false);
}

}  // namespace detail
}  // namespace vcl
