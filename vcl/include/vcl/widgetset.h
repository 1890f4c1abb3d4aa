// The widget-set interface: what a widget set (vcl_qt, vcl_headless) implements, and the
// entry points through which it reports the user's input.
//
// Contract for an implementer
// ---------------------------
// Threads. Everything runs on the GUI thread (the thread that installs the widget set), except
// WidgetSet::Wake, which any thread may call.
//
// Strings. Every text is an AnsiString in code page 1251 (platform::Cp1251ToUtf8 /
// Utf8ToCp1251 convert at the boundary). File paths are the programs' own texts (Windows-style
// or absolute); platform::MapPath turns them into real paths.
//
// Components on screen. Controls hold their properties; the widget set mirrors them.
//  - Insert(c) announces a component: a form when it is first shown (Show, Visible = true, the
//    main form in Application->Run); then the menus it owns (TMainMenu, TPopupMenu) with their
//    items (TMenuItem, parents first), then Changed(form, Change::Menu) when it has a Menu;
//    then the controls placed on it, parents before children and in z-order (bottom first).
//    A control that gets a realized parent later, or a menu item added to a realized menu, is
//    inserted then. Before Insert the widget set knows nothing of a component; at Insert it
//    reads everything it shows from the component's public properties. c->Realized() is true
//    from Insert to Remove.
//  - Changed(c, what, index) follows each change of a property the widget set shows, after the
//    new value is in place (read it from the component). `what` says which group of properties
//    changed (see Change); index is -1 or, where noted, the item concerned. Widget sets may
//    ignore a change that does not alter what they show.
//  - Remove(c) comes before a realized component is destroyed or leaves its realized parent
//    (a move to another parent is Remove, then Insert). Children are removed before their
//    parent. Remove may come from the component's destructor: use only the address and what
//    the widget set stored, not the component's virtual functions.
//  - Layout is the library's: Left, Top, Width and Height of every control are relative to
//    its parent's client area and already take Align into account. A form's Width and Height
//    are its outer size and ClientWidth/ClientHeight its client area; Position tells where a
//    form first appears. When the user resizes a form, report it with input::Resize.
//  - Z-order: children's order in Parent->Controls is bottom to top; BringToFront and
//    SendToBack report Change::ZOrder on the control moved. For a form (no parent) they ask
//    to raise it (index -1) or lower it (index 0) among the windows.
//  - Showing: a control shows when Visible holds for it and all its parents and its form is
//    shown; a TTabSheet shows only while it is its page control's ActivePage.
//  - Repaint(control) must redraw the control at once, before returning (Refresh, Repaint and
//    Update call it): handlers that block the GUI thread rely on it to show progress.
//  - TimerChanged(timer) follows every change of a timer's Enabled or Interval (and comes
//    once, with Active() false, before it is destroyed). While timer->Active(), call
//    input::FireTimer(timer) every Interval milliseconds.
//
// User input comes back through the functions of vcl::input below. Each one updates the
// control as the user's action would, runs the control's events inside the application's
// handler guard (an exception that leaves a handler is shown by the application and the loop
// goes on; EAbort silently ends the handler) and may report Changed for side effects (a text
// changed by CharCase or MaxLength, a clamped position).
//
// Modal calls (ShowMessage, MessageBox, ShowException, OpenDialog, BrowseForFolder,
// SelectFolder) block until the user answers and return the answer. While one is open the
// widget set may deliver timers and posted messages.
//
// The message loop. Run() runs until Quit() (the main form closed, Application->Terminate).
// Quit() may be called before Run (then Run returns at once) and from inside a handler.
//
// Posted and sent window messages. PostMessageA / SendMessageA (from any thread) queue the
// message in the library and call Wake(); the widget set must then, soon and on the GUI thread,
// call vcl::DispatchPostedMessages(), which delivers them to the windows' WndProc inside the
// handler guard (a sender from another thread waits until its message has been handled; a
// send on the GUI thread runs at once).
//
// A long exchange on the GUI thread (the track dump) calls EndRequested now and then: the
// widget set keeps the windows painted and takes in what asks the program to end (the main
// form's close, the end of the session) without running any handler; the rest of the input
// waits for the handler's end. Once EndRequested has returned true, the widget set carries the
// request out as soon as the running handler has returned.
//
// Beep. The platform layer records every Beep; a widget set that makes sound installs
// platform::SetBeepSink (platform/gui.h).
//
// Installing. A program's entry (or a test fixture) calls vcl::SetWidgetSet(&ws) before it
// creates forms, and vcl::SetWidgetSet(nullptr) before the widget set goes away; destroy the
// forms (vcl::ResetApplication or the application object's end) while it is still installed.
// With no widget set installed controls work without a screen and modal calls raise
// EInvalidOperation.
#pragma once

#include <cstddef>

#include "vcl/controls.h"
#include "vcl/filectrl.h"

class TCustomForm;
class TOpenDialog;
class TTimer;
class TMenuItem;
class TPopupMenu;
class TStringGrid;

namespace vcl {

// Which properties changed (the widget set re-reads the group).
enum class Change : int {
  Bounds,      // Left, Top, Width, Height (forms: also ClientWidth, ClientHeight)
  Text,        // Caption / Text (a form's title, a menu item's caption)
  Visible,     // Visible of a control or menu item (forms: shown or hidden)
  Enabled,     // Enabled of a control or menu item
  Hint,        // Hint, ShowHint
  Color,       // Color
  Font,        // Font (any of its properties)
  ZOrder,      // the control's place in its parent's Controls
  Parent,      // not sent: a move to another parent is Remove, then Insert
  Items,       // the whole item list: combo box Items, radio group Items, memo Lines
               // (a menu item's sub-items come and go by Insert and Remove)
  ItemAdded,   // one item inserted at `index` (combo, radio group, memo); others unchanged
  ItemIndex,   // ItemIndex of a combo box or radio group
  Checked,     // Checked / State / Down (check box, menu item, speed or tool button)
  Position,    // Position (track bar, progress bar)
  Range,       // Min, Max and their siblings (Frequency, tick marks, MinValue, MaxValue)
  Style,       // any other appearance property of the control (ReadOnly, CharCase,
               // MaxLength, PasswordChar, BorderStyle, BorderIcons, WindowState, Alignment,
               // WordWrap, ScrollBars, Layout, Style, Orientation, Columns, Flat, bevels,
               // Stretch, Center, Shape, ShortCut, Options, Sorted, FocusControl ...)
  Picture,     // Picture / Glyph content
  Cells,       // a grid cell at `index` = row * ColCount + col, or -1: grid size, fixed
               // rows/columns, column widths, row heights or many cells
  Panels,      // status bar panel at `index`, or -1: the panel list; SimplePanel, SimpleText
  ActivePage,  // a page control's ActivePage
  Menu,        // a form's Menu
  Focus,       // the control that should have the keyboard focus (form's ActiveControl)
};

class WidgetSet {
 public:
  virtual ~WidgetSet() = default;

  virtual void Insert(TComponent* component) = 0;
  virtual void Remove(TComponent* component) = 0;
  virtual void Changed(TComponent* component, Change what, int index) = 0;
  virtual void Repaint(TControl* control) = 0;
  virtual void TimerChanged(TTimer* timer) = 0;
  // Shows a pop-up menu at screen coordinates.
  virtual void Popup(TPopupMenu* menu, int x, int y) = 0;

  // ---- Modal calls ----
  // One OK button; the caption is the application's title.
  virtual void ShowMessage(const AnsiString& text, const AnsiString& caption) = 0;
  // Windows flags: the low 4 bits choose the buttons (MB_OK 0, MB_OKCANCEL 1,
  // MB_ABORTRETRYIGNORE 2, MB_YESNOCANCEL 3, MB_YESNO 4, MB_RETRYCANCEL 5), 0xF0 the icon
  // (MB_ICONSTOP 0x10, MB_ICONQUESTION 0x20, MB_ICONWARNING 0x30, MB_ICONINFORMATION 0x40),
  // 0xF00 the default button. Returns IDOK 1, IDCANCEL 2, IDABORT 3, IDRETRY 4, IDIGNORE 5,
  // IDYES 6, IDNO 7; closing the box counts as Cancel (or the only button's answer).
  virtual int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) = 0;
  // The application's display of an exception that left a handler (one OK button).
  virtual void ShowException(const AnsiString& text, const AnsiString& caption) = 0;
  // The open or save dialog (dynamic_cast to TSaveDialog tells which). Read Title, Filter,
  // FilterIndex, InitialDir, FileName and Options; on OK set dialog->FileName to the chosen
  // file (dialog->FilterIndex to the filter used) and return true. The library appends
  // DefaultExt. The program gets exactly the file chosen or nothing: a chosen file (or, in the
  // folder calls below, a folder) that no program's text names exactly (platform/paths.h:
  // a character outside CP1251, a backslash in a name) is refused with a message that names it,
  // and the call returns false, as a cancel.
  virtual bool OpenDialog(TOpenDialog* dialog) = 0;
  // The shell's folder browser: `title` above the tree; on OK set `folder` to the chosen
  // folder's path and return true.
  virtual bool BrowseForFolder(const AnsiString& title, AnsiString& folder) = 0;
  // The class library's folder dialog, starting at `folder`; the user may type a folder that
  // does not exist when options hold sdAllowCreate. On OK set `folder` and return true; the
  // library checks existence, asks (through MessageBox) and creates.
  virtual bool SelectFolder(AnsiString& folder, TSelectDirOpts options) = 0;

  // ---- The message loop ----
  virtual void Run() = 0;
  virtual void Quit() = 0;
  // Thread-safe: messages are waiting for DispatchPostedMessages.
  virtual void Wake() = 0;
  // Called by a handler that blocks the GUI thread for long (see above): true once the main
  // form's close or the end of the session has been asked for. A widget set without a screen
  // has nothing to take in.
  virtual bool EndRequested() { return false; }
};

// The widget set in use (nullptr: none).
void SetWidgetSet(WidgetSet* widget_set);
WidgetSet* CurrentWidgetSet();

// Delivers the queued window messages (GUI thread); returns how many were delivered.
std::size_t DispatchPostedMessages();
// The number of messages waiting (any thread).
std::size_t PendingMessageCount();

// The user's input, reported by the widget set (and by tests through vcl/headless.h). Each
// runs the events it causes inside the handler guard. A control that could not take the
// input (hidden or disabled) is left alone; the functions return false then.
namespace input {
// A click: buttons, speed and tool buttons, labels, panels, images, check boxes (toggles),
// menu items (runs the item's OnClick). Window controls that take the focus get it first.
bool Click(TComponent* component);
bool DblClick(TControl* control);
// The whole text of an edit, memo, spin edit or combo box as the user typed it (MaxLength and
// CharCase apply; OnChange runs once). The control gets the focus first.
bool Type(TControl* control, const AnsiString& text);
// The user chose item `index` of a combo box or radio group, or page `index` of a page control.
bool Pick(TControl* control, int index);
// The user moved a track bar (OnChange when the position changed).
bool Move(TControl* control, int position);
// The user pressed a spin edit's up (+1) or down (-1) button.
bool Spin(TControl* control, int direction);
// The user edited a grid cell (needs goEditing).
bool EditCell(TStringGrid* grid, int col, int row, const AnsiString& text);
// The keyboard focus moved to `control` (nullptr: away from the form's controls).
void Focus(TCustomForm* form, TWinControl* control);
// Keys: OnKeyDown / OnKeyPress / OnKeyUp of the focused control (the form's first with
// KeyPreview). Returns the key after the handlers (0: swallowed).
WORD KeyDown(TWinControl* control, WORD key, TShiftState shift);
char KeyPress(TWinControl* control, char key);
WORD KeyUp(TWinControl* control, WORD key, TShiftState shift);
// The user asked to close the form (title bar, system menu): runs Close.
void CloseRequest(TCustomForm* form);
// The user (or the window manager) resized the form's client area.
void Resize(TCustomForm* form, int client_width, int client_height);
// The user moved the form.
void Moved(TCustomForm* form, int left, int top);
// A timer's interval passed: runs OnTimer when the timer is active.
void FireTimer(TTimer* timer);
}  // namespace input

}  // namespace vcl
