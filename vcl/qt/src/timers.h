// The library's timers as Qt timers: each tick fires the timer's OnTimer as a user's action.
#pragma once

#include <QObject>
#include <unordered_map>

#include "vcl/extctrls.h"

class QTimer;

namespace vcl::qt::detail {

class Book;

class Timers {
 public:
  // `context` ends the connections of the ticks.
  Timers(Book& book, QObject* context);
  ~Timers();
  Timers(const Timers&) = delete;
  Timers& operator=(const Timers&) = delete;

  // Starts, restarts or stops the timer's Qt timer as its Enabled and Interval say.
  void Changed(TTimer* timer);

 private:
  Book& book_;
  QObject* context_;
  std::unordered_map<const TTimer*, QTimer*> timers_;
};

}  // namespace vcl::qt::detail
