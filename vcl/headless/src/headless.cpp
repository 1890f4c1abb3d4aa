#include "vcl/headless.h"

#include <thread>

namespace vcl::headless {

const char* KindName(ModalKind kind) {
  switch (kind) {
    case ModalKind::Message:
      return "ShowMessage";
    case ModalKind::MessageBox:
      return "MessageBox";
    case ModalKind::Exception:
      return "exception display";
    case ModalKind::OpenDialog:
      return "open dialog";
    case ModalKind::SaveDialog:
      return "save dialog";
    case ModalKind::FolderBrowser:
      return "folder browser";
    case ModalKind::SelectFolder:
      return "folder dialog";
  }
  return "?";
}

// ---- Responder ----

Responder& Responder::Script(ModalKind kind, bool ok, int id, const AnsiString& path) {
  script_.push_back({kind, ok, id, path});
  return *this;
}
Responder& Responder::AnswerMessageBox(int id) {
  return Script(ModalKind::MessageBox, true, id, {});
}
Responder& Responder::AnswerOpenDialog(const AnsiString& file_name) {
  return Script(ModalKind::OpenDialog, true, 0, file_name);
}
Responder& Responder::CancelOpenDialog() {
  return Script(ModalKind::OpenDialog, false, 0, {});
}
Responder& Responder::AnswerFolderBrowser(const AnsiString& folder) {
  return Script(ModalKind::FolderBrowser, true, 0, folder);
}
Responder& Responder::CancelFolderBrowser() {
  return Script(ModalKind::FolderBrowser, false, 0, {});
}
Responder& Responder::AnswerSelectFolder(const AnsiString& folder) {
  return Script(ModalKind::SelectFolder, true, 0, folder);
}
Responder& Responder::CancelSelectFolder() {
  return Script(ModalKind::SelectFolder, false, 0, {});
}

std::vector<AnsiString> Responder::Texts(ModalKind kind) const {
  std::vector<AnsiString> texts;
  for (const ShownModal& s : shown_)
    if (s.kind == kind) texts.push_back(s.text);
  return texts;
}

void Responder::SetFailureHandler(std::function<void(const std::string&)> handler) {
  failure_handler_ = std::move(handler);
}

void Responder::Fail(const std::string& message) {
  failures_.push_back(message);
  if (failure_handler_) failure_handler_(message);
}

bool Responder::Take(ModalKind kind, const ShownModal& what, Answer& out) {
  ModalKind wanted = kind == ModalKind::SaveDialog ? ModalKind::OpenDialog : kind;
  std::string shown = std::string(KindName(kind)) + " \"" + what.text.str() + "\"";
  if (script_.empty()) {
    Fail("No scripted answer for the " + shown + "; answered with the safe default");
    return false;
  }
  if (script_.front().kind != wanted) {
    Fail("The " + shown + " came while the next scripted answer is for a " +
         KindName(script_.front().kind) + "; answered with the safe default");
    return false;
  }
  out = script_.front();
  script_.pop_front();
  return true;
}

void Responder::ShowMessage(const AnsiString& text, const AnsiString& caption) {
  shown_.push_back({ModalKind::Message, text, caption, MB_OK, IDOK, {}, true});
}

void Responder::ShowException(const AnsiString& text, const AnsiString& caption) {
  shown_.push_back({ModalKind::Exception, text, caption, MB_OK | MB_ICONSTOP, IDOK, {}, true});
}

namespace {

// The answer that does the least: Cancel, else No, else the first button.
int SafeAnswer(int flags) {
  switch (flags & 0xF) {
    case MB_OKCANCEL:
      return IDCANCEL;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_YESNOCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return IDNO;
    case MB_RETRYCANCEL:
      return IDCANCEL;
    default:
      return IDOK;
  }
}

bool Allowed(int flags, int id) {
  switch (flags & 0xF) {
    case MB_OK:
      return id == IDOK;
    case MB_OKCANCEL:
      return id == IDOK || id == IDCANCEL;
    case MB_ABORTRETRYIGNORE:
      return id == IDABORT || id == IDRETRY || id == IDIGNORE;
    case MB_YESNOCANCEL:
      return id == IDYES || id == IDNO || id == IDCANCEL;
    case MB_YESNO:
      return id == IDYES || id == IDNO;
    case MB_RETRYCANCEL:
      return id == IDRETRY || id == IDCANCEL;
    default:
      return false;
  }
}

}  // namespace

int Responder::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
  ShownModal shown{ModalKind::MessageBox, text, caption, flags, IDOK, {}, true};
  if ((flags & 0xF) == MB_OK) {
    shown_.push_back(shown);
    return IDOK;
  }
  Answer answer;
  if (Take(ModalKind::MessageBox, shown, answer)) {
    if (Allowed(flags, answer.id)) {
      shown.result = answer.id;
    } else {
      Fail("The scripted answer " + std::to_string(answer.id) + " is not a button of the " +
           "MessageBox \"" + text.str() + "\"; answered with the safe default");
      shown.result = SafeAnswer(flags);
      shown.scripted = false;
    }
  } else {
    shown.result = SafeAnswer(flags);
    shown.scripted = false;
  }
  shown_.push_back(shown);
  return shown.result;
}

bool Responder::Dialog(ShownModal shown, AnsiString& path) {
  Answer answer;
  bool ok = false;
  if (Take(shown.kind, shown, answer)) {
    ok = answer.ok;
    if (ok) path = shown.path = answer.path;
  } else {
    shown.scripted = false;
  }
  shown.result = ok ? 1 : 0;
  shown_.push_back(shown);
  return ok;
}

bool Responder::OpenDialog(TOpenDialog* dialog) {
  ModalKind kind =
      dynamic_cast<TSaveDialog*>(dialog) ? ModalKind::SaveDialog : ModalKind::OpenDialog;
  AnsiString file;
  if (!Dialog({kind, dialog->Title(), dialog->Filter(), 0, 0, dialog->InitialDir(), true}, file))
    return false;
  dialog->FileName = file;
  return true;
}

bool Responder::BrowseForFolder(const AnsiString& title, AnsiString& folder) {
  return Dialog({ModalKind::FolderBrowser, title, {}, 0, 0, {}, true}, folder);
}

bool Responder::SelectFolder(AnsiString& folder, TSelectDirOpts options) {
  return Dialog(
      {ModalKind::SelectFolder, {}, {}, static_cast<int>(options.Bits()), 0, folder, true}, folder);
}

// ---- HeadlessWidgetSet ----

HeadlessWidgetSet::HeadlessWidgetSet() = default;
HeadlessWidgetSet::~HeadlessWidgetSet() = default;

void HeadlessWidgetSet::Insert(TComponent* component) {
  auto* control = dynamic_cast<TControl*>(component);
  known_[component] = Known{control, 0, control ? control->Text() : AnsiString()};
}

void HeadlessWidgetSet::Remove(TComponent* component) {
  known_.erase(component);
}

void HeadlessWidgetSet::Changed(TComponent*, Change, int) {}

void HeadlessWidgetSet::PaintTree(TControl* control) {
  auto it = known_.find(control);
  if (it != known_.end()) it->second.painted = control->Text();
  if (auto* win = dynamic_cast<TWinControl*>(control))
    for (int i = 0; i < win->ControlCount; ++i) PaintTree(win->Controls[i]);
}

void HeadlessWidgetSet::Repaint(TControl* control) {
  auto it = known_.find(control);
  if (it != known_.end()) ++it->second.repaints;
  PaintTree(control);
  if (repaint_hook_) repaint_hook_(control);
}

void HeadlessWidgetSet::PaintAll() {
  for (auto& [component, known] : known_)
    if (known.control) known.painted = known.control->Text();
}

void HeadlessWidgetSet::TimerChanged(TTimer*) {}

void HeadlessWidgetSet::Popup(TPopupMenu* menu, int, int) {
  popups_.push_back(menu);
}

void HeadlessWidgetSet::ShowMessage(const AnsiString& text, const AnsiString& caption) {
  responder_.ShowMessage(text, caption);
}

int HeadlessWidgetSet::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
  return responder_.MessageBox(text, caption, flags);
}

void HeadlessWidgetSet::ShowException(const AnsiString& text, const AnsiString& caption) {
  responder_.ShowException(text, caption);
}

bool HeadlessWidgetSet::OpenDialog(TOpenDialog* dialog) {
  return responder_.OpenDialog(dialog);
}

bool HeadlessWidgetSet::BrowseForFolder(const AnsiString& title, AnsiString& folder) {
  return responder_.BrowseForFolder(title, folder);
}

bool HeadlessWidgetSet::SelectFolder(AnsiString& folder, TSelectDirOpts options) {
  return responder_.SelectFolder(folder, options);
}

void HeadlessWidgetSet::Run() {
  if (running_) throw Error("Application->Run is already running");
  running_ = true;
  while (!quit_) {
    if (vcl::DispatchPostedMessages() > 0) {
      PaintAll();
      continue;
    }
    if (actions_.empty()) break;
    auto action = std::move(actions_.front());
    actions_.pop_front();
    action();
    CloseIfEndRequested();
    PaintAll();
  }
  running_ = false;
}

void HeadlessWidgetSet::Quit() {
  quit_ = true;
}

void HeadlessWidgetSet::Wake() {}

bool HeadlessWidgetSet::EndRequested() {
  if (!end_requested_ && end_request_hook_ && end_request_hook_()) end_requested_ = true;
  return end_requested_;
}

void HeadlessWidgetSet::CloseIfEndRequested() {
  if (!end_requested_) return;
  end_requested_ = false;
  if (Application && Application->MainForm()) vcl::input::CloseRequest(Application->MainForm());
}

void HeadlessWidgetSet::RunInLoop(std::function<void()> action) {
  actions_.push_back(std::move(action));
}

bool HeadlessWidgetSet::Knows(TComponent* component) const {
  return known_.count(component) > 0;
}

int HeadlessWidgetSet::RepaintCount(TControl* control) const {
  auto it = known_.find(control);
  return it == known_.end() ? 0 : it->second.repaints;
}

AnsiString HeadlessWidgetSet::Painted(TControl* control) const {
  auto it = known_.find(control);
  return it == known_.end() ? AnsiString() : it->second.painted;
}

// ---- Session ----

namespace {
HeadlessWidgetSet* g_current = nullptr;
}

Session::Session() : ws_(std::make_unique<HeadlessWidgetSet>()), previous_(CurrentWidgetSet()) {
  SetWidgetSet(ws_.get());
  g_current = ws_.get();
  vcl::ResetApplication();
  DispatchPostedMessages();  // nothing from an earlier session reaches this one
}

Session::~Session() {
  vcl::ResetApplication();
  DispatchPostedMessages();
  SetWidgetSet(previous_);
  if (g_current == ws_.get()) g_current = nullptr;
}

HeadlessWidgetSet& Current() {
  if (!g_current) throw Error("No headless session is active");
  return *g_current;
}

// ---- Test helpers ----

TComponent& FindAny(TComponent* owner, const AnsiString& name) {
  if (!owner) throw Error("Find: no owner given for '" + name.str() + "'");
  TComponent* c = owner->FindComponent(name);
  if (!c) throw Error(owner->Name().str() + " has no component named '" + name.str() + "'");
  return *c;
}

namespace {

std::string NameOf(TComponent* c) {
  return c->Name().IsEmpty() ? c->ClassName().str() : c->Name().str();
}

// Why the user could not reach the component, or empty.
std::string Unreachable(TComponent* c) {
  if (auto* item = dynamic_cast<TMenuItem*>(c)) {
    for (TMenuItem* i = item; i; i = i->Parent()) {
      if (!i->Visible()) return NameOf(i) + " is hidden";
      if (!i->Enabled()) return NameOf(i) + " is disabled";
    }
    return {};
  }
  auto* control = dynamic_cast<TControl*>(c);
  if (!control) return NameOf(c) + " is not a control or menu item";
  for (TControl* p = control; p; p = p->Parent()) {
    if (!p->Visible()) return NameOf(p) + " is hidden";
    if (!p->Enabled()) return NameOf(p) + " is disabled";
  }
  if (!control->Showing()) return NameOf(control) + " is not on a shown form";
  return {};
}

void Require(TComponent* c, const char* action) {
  if (!c) throw Error(std::string(action) + ": no component given");
  std::string why = Unreachable(c);
  if (!why.empty()) throw Error(std::string(action) + " " + NameOf(c) + ": " + why);
}

void Idle() {
  if (HeadlessWidgetSet* ws = g_current) {
    ws->CloseIfEndRequested();
    ws->PaintAll();
  }
}

}  // namespace

void Click(TComponent* component) {
  Require(component, "Click");
  if (!vcl::input::Click(component)) throw Error("Click " + NameOf(component) + ": not clickable");
  Idle();
}

void ForceClick(TComponent* component) {
  if (!component) throw Error("ForceClick: no component given");
  if (auto* item = dynamic_cast<TMenuItem*>(component)) {
    Application->Guard([item] { item->Click(); });
  } else if (auto* check = dynamic_cast<TCheckBox*>(component)) {
    Application->Guard([check] { check->Toggle(); });
  } else if (auto* control = dynamic_cast<TControl*>(component)) {
    Application->Guard([control] { control->Click(); });
  } else {
    throw Error("ForceClick " + NameOf(component) + ": not a control or menu item");
  }
  Idle();
}

void DblClick(TControl* control) {
  Require(control, "DblClick");
  vcl::input::DblClick(control);
  Idle();
}

void Type(TControl* control, const AnsiString& text) {
  Require(control, "Type into");
  if (!vcl::input::Type(control, text))
    throw Error("Type into " + NameOf(control) + ": it takes no typing (read-only or a list)");
  Idle();
}

void Pick(TControl* control, int index) {
  Require(control, "Pick in");
  if (!vcl::input::Pick(control, index))
    throw Error("Pick in " + NameOf(control) + ": no item " + std::to_string(index));
  Idle();
}

void Pick(TControl* control, const AnsiString& item) {
  Require(control, "Pick in");
  int index = -1;
  if (auto* combo = dynamic_cast<TComboBox*>(control))
    index = combo->Items->IndexOf(item);
  else if (auto* group = dynamic_cast<TRadioGroup*>(control))
    index = group->Items->IndexOf(item);
  else if (auto* pages = dynamic_cast<TPageControl*>(control))
    for (int i = 0; i < pages->PageCount; ++i)
      if (pages->Pages[i]->Caption() == item) index = i;
  if (index < 0) throw Error("Pick in " + NameOf(control) + ": no item '" + item.str() + "'");
  Pick(control, index);
}

void Move(TTrackBar* track_bar, int position) {
  Require(track_bar, "Move");
  vcl::input::Move(track_bar, position);
  Idle();
}

void Spin(TCSpinEdit* spin_edit, int direction) {
  Require(spin_edit, "Spin");
  if (!vcl::input::Spin(spin_edit, direction))
    throw Error("Spin " + NameOf(spin_edit) + ": read-only");
  Idle();
}

void EditCell(TStringGrid* grid, int col, int row, const AnsiString& text) {
  Require(grid, "Edit a cell of");
  if (!vcl::input::EditCell(grid, col, row, text))
    throw Error("Edit a cell of " + NameOf(grid) + ": not editable there");
  Idle();
}

void Focus(TWinControl* control) {
  Require(control, "Focus");
  vcl::input::Focus(control->ParentForm(), control);
  Idle();
}

WORD KeyDown(TWinControl* control, WORD key, TShiftState shift) {
  Require(control, "Press a key in");
  WORD result = vcl::input::KeyDown(control, key, shift);
  Idle();
  return result;
}

char KeyPress(TWinControl* control, char key) {
  Require(control, "Press a key in");
  char result = vcl::input::KeyPress(control, key);
  Idle();
  return result;
}

void FireTimer(TTimer* timer) {
  if (!timer) throw Error("FireTimer: no timer given");
  if (!timer->Active()) throw Error("FireTimer " + NameOf(timer) + ": the timer is not running");
  vcl::input::FireTimer(timer);
  Idle();
}

void Close(TCustomForm* form) {
  if (!form) throw Error("Close: no form given");
  vcl::input::CloseRequest(form);
  Idle();
}

std::size_t PumpMessages() {
  std::size_t n = vcl::DispatchPostedMessages();
  Idle();
  return n;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    PumpMessages();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace vcl::headless
