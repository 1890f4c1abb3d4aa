// The Qt 6 widget set: every control of the class library as a real Qt widget.
//
//   QApplication app(argc, argv);
//   vcl::qt::QtWidgetSet ws;          // needs the QApplication; installs the beep sink
//   vcl::SetWidgetSet(&ws);
//   ... Application->CreateForm<TMyForm>(&MyForm); Application->Run(); ...
//   vcl::ResetApplication();          // forms go while the widget set is installed
//   vcl::SetWidgetSet(nullptr);
//
// Programs do not do this themselves: vcl_qt's main() (vcl/winmain.h) does it around WinMain.
// Screenshot mode: with VCL_SCREENSHOT_DIR set, main() saves <dir>/<Name>.png of every visible
// form once the main form is shown and painted, then closes the main form (its close handlers
// run); modal boxes that come up from then on, or before the main form shows, are answered
// with their safe default (Cancel, else No, else the only button; dialogs cancelled) and
// logged on stderr, so that nothing waits for a person.
// The end of the desktop session (SIGTERM, SIGHUP) closes the main form the way its title bar
// does (main() watches the signals; see WatchSessionEnd). A handler that blocks the GUI thread
// for long hears of both, and of the title bar's close, through EndRequested.
// A test driver in the program's process (tests/x_server) that sends kForceClickEvent to a
// control's widget clicks the control the way the program's own code does, also where no user
// can reach it (hidden, disabled), as vcl::headless::ForceClick does without windows.
#pragma once

#include <QEvent>
#include <QString>
#include <memory>

#include "vcl/dialogs.h"
#include "vcl/extctrls.h"
#include "vcl/filectrl.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/widgetset.h"

class QAction;
class QWidget;

namespace vcl {
class SessionEndSignals;
}

namespace vcl::qt {

inline constexpr QEvent::Type kForceClickEvent = static_cast<QEvent::Type>(QEvent::User + 1);

namespace detail {
class Core;
}

class QtWidgetSet final : public WidgetSet {
 public:
  QtWidgetSet();
  ~QtWidgetSet() override;
  QtWidgetSet(const QtWidgetSet&) = delete;
  QtWidgetSet& operator=(const QtWidgetSet&) = delete;

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
  void Run() override;
  void Quit() override;
  void Wake() override;
  bool EndRequested() override;

  // ---- For the program entry and tests ----
  // The widget that shows a component (a form: its top-level window), or nullptr.
  QWidget* WidgetOf(const TComponent* component) const;
  // A menu item's action, or nullptr.
  QAction* ActionOf(const TMenuItem* item) const;
  // The component shown by the widget or by its nearest ancestor that shows one.
  TComponent* ComponentOf(const QWidget* widget) const;
  // Shows the forms that wait to appear (the loop, Repaint and modal calls do it first).
  void ShowPendingForms();
  // Saves what the form shows (menu bar and client area) as a PNG file.
  bool SaveScreenshot(TCustomForm* form, const QString& file_name);
  // Turns on screenshot mode (see above) for the next Run.
  void SetScreenshotDir(const QString& dir);
  // Answers every modal box and dialog with its safe default once it has been painted.
  void SetAutoAnswer(bool on);
  // Beeps sounded through the platform's beep sink.
  int BeepCount() const;
  // Watches the session-end signals (vcl/session_end.h) until the widget set goes or the next
  // call (nullptr: none): when one comes, the modal boxes open then and later are answered with
  // their safe default (logged on stderr: no one is left to read them), and
  // Application->EndSession runs once no handler is running.
  void WatchSessionEnd(vcl::SessionEndSignals* watched);

 private:
  std::unique_ptr<detail::Core> core_;
};

// Qt's own texts in Russian (the file dialog's labels and buttons, the standard buttons), from
// Qt's translations folder (Debian: qt6-translations-l10n); false when they are not there. Needs
// the QApplication, which keeps them. RunProgram calls it.
bool InstallQtTranslations();

// The programs' entry: the QApplication, the C library's number format, Qt's Russian texts, the
// widget set, WinMain with the command line, the forms' end. main() returns what it returns.
int RunProgram(int argc, char** argv);

}  // namespace vcl::qt
