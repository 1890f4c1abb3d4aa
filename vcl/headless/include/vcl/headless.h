// The headless widget set: forms are built, clicked and typed into with no display, and a
// scripted responder answers the modal boxes and dialogs and records what was shown.
//
//   vcl::headless::Session gui;                        // installs it, fresh Application
//   gui.responder().AnswerMessageBox(IDCANCEL)         // answers, in the order they come
//                  .AnswerOpenDialog("c:\\Tc\\WorkDir\\gps_msg.txt");
//   TML_Form* form;
//   Application->CreateForm<TML_Form>(&form);
//   vcl::headless::Click(vcl::headless::Find<TSpeedButton>(form, "SBMode"));
//   EXPECT_EQ(gui.responder().Shown().back().text, "Прибор не отвечает...");
//
// Modal calls and their answers:
//  - ShowMessage, ShowException and a MessageBox with MB_OK (one button) need no script: they
//    are answered OK and recorded.
//  - Every other MessageBox, the open and save dialogs, the shell's folder browser and the
//    folder dialog take the next scripted answer. When the next answer is missing or is for
//    another kind of call, the call is recorded with scripted = false, reported to the failure
//    handler (vcl/headless_gtest.h turns that into a test failure) and answered with the safe
//    default: IDCANCEL where the box has Cancel, else IDNO where it has No, else its first
//    button; a dialog is cancelled. Nothing ever waits.
//
// The test helpers below act as a user would and raise vcl::headless::Error when a user
// could not do it (a control that is missing, of another class, hidden or disabled).
// Everything runs on the calling (GUI) thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "vcl/vcl.h"
#include "vcl/widgetset.h"

namespace vcl::headless {

class Error : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

enum class ModalKind {
  Message,        // ShowMessage
  MessageBox,     // Application->MessageBox, MessageDlg
  Exception,      // the application's exception display
  OpenDialog,     // TOpenDialog::Execute
  SaveDialog,     // TSaveDialog::Execute
  FolderBrowser,  // SHBrowseForFolderA
  SelectFolder,   // SelectDirectory
};
const char* KindName(ModalKind kind);

// One modal call as it was shown and answered.
struct ShownModal {
  ModalKind kind;
  AnsiString text;     // the message; a dialog's title (folder browser: its title)
  AnsiString caption;  // the box's caption; an open/save dialog's Filter
  int flags = 0;       // MessageBox flags; SelectFolder: the option bits
  int result = 0;      // MessageBox: the button id; dialogs: 1 OK, 0 cancelled
  AnsiString path;     // dialogs: the folder or file returned, else what was preset
                       // (InitialDir for open/save dialogs, the start folder for SelectFolder)
  bool scripted = true;
};

class Responder {
 public:
  // ---- The script, answered in order ----
  Responder& AnswerMessageBox(int id);                       // IDOK, IDCANCEL, IDYES, IDNO ...
  Responder& AnswerOpenDialog(const AnsiString& file_name);  // open or save dialog
  Responder& CancelOpenDialog();
  Responder& AnswerFolderBrowser(const AnsiString& folder);
  Responder& CancelFolderBrowser();
  Responder& AnswerSelectFolder(const AnsiString& folder);
  Responder& CancelSelectFolder();

  // ---- What was shown ----
  const std::vector<ShownModal>& Shown() const { return shown_; }
  // The texts of the shown calls of one kind, in order.
  std::vector<AnsiString> Texts(ModalKind kind) const;
  void ClearShown() { shown_.clear(); }
  // Scripted answers not used yet.
  std::size_t Pending() const { return script_.size(); }
  // Calls that found no fitting answer, described.
  const std::vector<std::string>& Failures() const { return failures_; }
  void SetFailureHandler(std::function<void(const std::string&)> handler);

  // Called by the widget set.
  void ShowMessage(const AnsiString& text, const AnsiString& caption);
  void ShowException(const AnsiString& text, const AnsiString& caption);
  int MessageBox(const AnsiString& text, const AnsiString& caption, int flags);
  bool OpenDialog(TOpenDialog* dialog);
  bool BrowseForFolder(const AnsiString& title, AnsiString& folder);
  bool SelectFolder(AnsiString& folder, TSelectDirOpts options);

 private:
  struct Answer {
    ModalKind kind;  // MessageBox, OpenDialog (open and save), FolderBrowser, SelectFolder
    bool ok;
    int id;
    AnsiString path;
  };
  Responder& Script(ModalKind kind, bool ok, int id, const AnsiString& path);
  // A dialog answered from the script: on OK `path` receives the answer.
  bool Dialog(ShownModal shown, AnsiString& path);
  // Takes the next answer when it fits `kind`; otherwise records the failure, returns false.
  bool Take(ModalKind kind, const ShownModal& what, Answer& out);
  void Fail(const std::string& message);

  std::deque<Answer> script_;
  std::vector<ShownModal> shown_;
  std::vector<std::string> failures_;
  std::function<void(const std::string&)> failure_handler_;
};

// The widget set itself. It keeps what a screen would show: the components it was told of
// and, per control, the text last painted (at Insert, at Repaint, and whenever the loop runs:
// after each input event and message delivery).
class HeadlessWidgetSet : public WidgetSet {
 public:
  HeadlessWidgetSet();
  ~HeadlessWidgetSet() override;

  Responder& responder() { return responder_; }

  void Insert(TComponent* component) override;
  void Remove(TComponent* component) override;
  void Changed(TComponent* component, Change what, int index) override;
  void Repaint(TControl* control) override;
  void TimerChanged(TTimer* timer) override;
  void Popup(TPopupMenu* menu, int x, int y) override;
  void ShowMessage(const AnsiString& text, const AnsiString& caption) override;
  int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) override;
  void ShowException(const AnsiString& text, const AnsiString& caption) override;
  bool OpenDialog(TOpenDialog* dialog) override;
  bool BrowseForFolder(const AnsiString& title, AnsiString& folder) override;
  bool SelectFolder(AnsiString& folder, TSelectDirOpts options) override;
  // Runs the actions queued with RunInLoop and delivers posted messages until Quit or until
  // nothing is left to do; it never waits.
  void Run() override;
  void Quit() override;
  void Wake() override;
  // Asks the hook (when set) whether the user has closed the main form now; once it said yes,
  // true, and the main form is closed as the user's close does when the running action (a
  // click, a key ...) has returned.
  bool EndRequested() override;
  // The user's close of the main form during a long exchange, decided by the test at each
  // EndRequested (e.g. after so many bytes or so much virtual time).
  void SetEndRequestHook(std::function<bool()> hook) { end_request_hook_ = std::move(hook); }
  // Closes the main form when EndRequested said so (done after every action of the helpers).
  void CloseIfEndRequested();

  // An action for Run to perform as if the user did it (in order).
  void RunInLoop(std::function<void()> action);
  // True after Run has ended because of Quit.
  bool QuitRequested() const { return quit_; }
  // Components inserted and not removed.
  bool Knows(TComponent* component) const;
  // How often Repaint was called for the control (itself, not through a parent).
  int RepaintCount(TControl* control) const;
  // The text the screen shows for the control (see above); empty for an unknown one.
  AnsiString Painted(TControl* control) const;
  // Called for every Repaint (after the painted texts were taken).
  void SetRepaintHook(std::function<void(TControl*)> hook) { repaint_hook_ = std::move(hook); }
  // The loop ran: every known control is painted as it is now.
  void PaintAll();
  // Pop-up menus shown with Popup, in order.
  const std::vector<TPopupMenu*>& Popups() const { return popups_; }

 private:
  struct Known {
    TControl* control;  // nullptr for menus
    int repaints;
    AnsiString painted;
  };
  void PaintTree(TControl* control);
  Responder responder_;
  std::map<const TComponent*, Known> known_;
  std::deque<std::function<void()>> actions_;
  std::vector<TPopupMenu*> popups_;
  std::function<void(TControl*)> repaint_hook_;
  std::function<bool()> end_request_hook_;
  bool end_requested_ = false;
  bool quit_ = false;
  bool running_ = false;
};

// Installs a headless widget set and a fresh Application for its lifetime; at the end the
// application's forms are destroyed and the previous widget set comes back.
class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  HeadlessWidgetSet& widget_set() { return *ws_; }
  Responder& responder() { return ws_->responder(); }

 private:
  std::unique_ptr<HeadlessWidgetSet> ws_;
  WidgetSet* previous_;
};

// The session's widget set (raises Error when no headless session is active).
HeadlessWidgetSet& Current();

// ---- Finding controls ----
// The component `name` owned by `owner` (a form); raises Error when it is missing.
TComponent& FindAny(TComponent* owner, const AnsiString& name);
// The same, and raises Error when it is not a T.
template <class T = TComponent>
T* Find(TComponent* owner, const AnsiString& name) {
  TComponent& c = FindAny(owner, name);
  T* t = dynamic_cast<T*>(&c);
  if (!t)
    throw Error("'" + name.str() + "' is a " + c.ClassName().str() + ", not the class asked for");
  return t;
}

// ---- Acting as the user ----
// A click on a control, tool button or menu item that the user can reach (showing and enabled;
// a menu item: visible and enabled with its parents). Runs OnClick inside the handler guard.
void Click(TComponent* component);
// The same for a component the user could not reach (hidden, disabled): runs its click the
// way the widget set would, for handlers that no user can trigger.
void ForceClick(TComponent* component);
void DblClick(TControl* control);
// Replaces an edit's, memo's, spin edit's or combo box's text as if typed (OnChange once).
void Type(TControl* control, const AnsiString& text);
// Chooses an item of a combo box or radio group, or a page of a page control, by index or by
// its text.
void Pick(TControl* control, int index);
void Pick(TControl* control, const AnsiString& item);
// Moves a track bar.
void Move(TTrackBar* track_bar, int position);
// Presses a spin edit's up (+1) or down (-1) button.
void Spin(TCSpinEdit* spin_edit, int direction);
// Edits a grid cell (needs goEditing).
void EditCell(TStringGrid* grid, int col, int row, const AnsiString& text);
// Moves the keyboard focus (OnExit / OnEnter).
void Focus(TWinControl* control);
WORD KeyDown(TWinControl* control, WORD key, TShiftState shift = {});
char KeyPress(TWinControl* control, char key);
// Fires a timer once (Error when it is not active: disabled or interval 0).
void FireTimer(TTimer* timer);
// The user closes the form (title bar): OnCloseQuery, OnClose ...
void Close(TCustomForm* form);

// ---- Window messages ----
// Delivers the posted and sent messages queued so far; returns how many.
std::size_t PumpMessages();
// Delivers messages until done() holds (checked after each round) or the time (real time) is
// up; returns done(). For tests with worker threads.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace vcl::headless
