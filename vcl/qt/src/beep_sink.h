// Beeps of the platform layer (Beep, MessageBeep) sounded on the desktop: the X bell through
// Qt's own connection, else Qt's beep on the GUI thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>

namespace vcl::qt::detail {

class BeepSink {
 public:
  // Sounds the platform's beeps while it lives; `gui` is an object of the GUI thread.
  explicit BeepSink(QObject* gui);
  ~BeepSink();
  BeepSink(const BeepSink&) = delete;
  BeepSink& operator=(const BeepSink&) = delete;

  // Beeps sounded so far.
  int Count() const { return count_->load(); }

 private:
  // Shared with the sink, which any thread may call.
  std::shared_ptr<std::atomic<int>> count_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace vcl::qt::detail
