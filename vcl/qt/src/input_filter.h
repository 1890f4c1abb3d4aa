// Keys, context menus and focus changes of every widget of the application, reported to the
// controls they belong to; a test driver's forced clicks (kForceClickEvent).
#pragma once

#include <QObject>

class QContextMenuEvent;
class QKeyEvent;

namespace vcl::qt::detail {

class Book;

class InputFilter : public QObject {
 public:
  // Filters the application's events while it lives.
  explicit InputFilter(Book& book);
  ~InputFilter() override;

  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void FocusChanged(QWidget* now);
  bool Key(QObject* object, QKeyEvent* event);
  bool ContextMenu(QObject* object, QContextMenuEvent* event);
  bool ForceClick(QObject* object);

  Book& book_;
  bool replaying_ = false;
};

}  // namespace vcl::qt::detail
