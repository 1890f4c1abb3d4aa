// Internals shared by the GUI sources of the class library.
#pragma once

#include <functional>

#include "vcl/controls.h"
#include "vcl/widgetset.h"

class TCustomForm;
class TMenuItem;

namespace vcl::detail {

// Tells the widget set about a component and, for a window control, its children (once).
void RealizeTree(TComponent* component);
// Removes a component (children first) from the widget set's view.
void UnrealizeTree(TComponent* component);
// A form, its menus and its controls (see the widget-set contract).
void RealizeForm(TCustomForm* form);
// A menu item and its sub-items.
void RealizeMenuItem(TMenuItem* item);

// Window handles: allocated for a control and registered with the platform's message delivery.
HWND AllocateHandle(TWinControl* control);
void ReleaseHandle(HWND hwnd);
// The message loop has ended: messages sent from other threads and still waiting are finished
// with the result 0, and later ones return 0 at once, until the loop runs again.
void EndPendingSends();
void AcceptSends();

// Stores a new value; false when it is the value already there.
template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

// Runs fn inside the application's handler guard.
void Guarded(const std::function<void()>& fn);

// The widget set, raising EInvalidOperation when none is installed (modal calls need one).
WidgetSet& RequireWidgetSet();

// The application's title (caption of message boxes).
AnsiString ApplicationTitle();

}  // namespace vcl::detail

#include "vcl/string_list.h"

namespace vcl::detail {

// The item list of a control: tells its owner after every change, with the index when one
// line was added (Add, Insert) and -1 otherwise.
class NotifyingList : public TStringList {
 public:
  explicit NotifyingList(std::function<void(int)> changed) : changed_(std::move(changed)) {}
  int Add(const AnsiString& s) override {
    return Adding([&] { return TStringList::Add(s); });
  }
  int AddObject(const AnsiString& s, TObject* object) override {
    return Adding([&] { return TStringList::AddObject(s, object); });
  }
  void Insert(int index, const AnsiString& s) override {
    Adding([&] {
      TStringList::Insert(index, s);
      return index;
    });
  }
  void InsertObject(int index, const AnsiString& s, TObject* object) override {
    Adding([&] {
      TStringList::InsertObject(index, s, object);
      return index;
    });
  }

 protected:
  void Changed() override {
    TStringList::Changed();
    if (UpdateCount() > 0) return;
    if (adding_ > 0)
      deferred_ = true;
    else if (changed_)
      changed_(-1);
  }

 private:
  template <class F>
  int Adding(F&& add) {
    if (adding_++ == 0) deferred_ = false;
    int index;
    try {
      index = add();
    } catch (...) {
      --adding_;
      throw;
    }
    if (--adding_ == 0 && deferred_ && changed_) changed_(index);
    return index;
  }

  std::function<void(int)> changed_;
  int adding_ = 0;
  bool deferred_ = false;
};

}  // namespace vcl::detail
