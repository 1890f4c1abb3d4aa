#include "timers.h"

#include <QTimer>
#include <algorithm>

#include "mirror.h"

namespace vcl::qt::detail {

Timers::Timers(Book& book, QObject* context) : book_(book), context_(context) {}

Timers::~Timers() {
  for (auto& [timer, qtimer] : timers_) delete qtimer;
}

void Timers::Changed(TTimer* timer) {
  auto it = timers_.find(timer);
  if (!timer->Active()) {
    if (it != timers_.end()) {
      it->second->stop();
      book_.Dispose(it->second);
      timers_.erase(it);
    }
    return;
  }
  QTimer* qtimer;
  if (it == timers_.end()) {
    qtimer = new QTimer;
    QObject::connect(qtimer, &QTimer::timeout, context_,
                     [this, timer] { book_.User([timer] { input::FireTimer(timer); }); });
    timers_[timer] = qtimer;
  } else {
    qtimer = it->second;
  }
  // Every change starts the interval anew, as setting a Windows timer does.
  qtimer->start(static_cast<int>(std::min<unsigned>(timer->Interval, 0x7FFFFFFF)));
}

}  // namespace vcl::qt::detail
