#include "vcl/forms.h"

#include <algorithm>
#include <cstdio>

#include "form_loader.h"
#include "gui_internal.h"
#include "platform/cp1251.h"
#include "platform/paths.h"
#include "vcl/menus.h"

using vcl::Change;

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner), Icon(new TIcon) {
  visible_ = false;
  parent_font_ = false;
  parent_color_ = false;
  parent_show_hint_ = false;
  SetBounds(0, 0, 320, 240);
  // Forms are made on the GUI thread; their handle is made here too, so that another thread
  // that posts to a form only ever reads it.
  (void)GetHandle();
}

TCustomForm::~TCustomForm() {
  MarkDestroying();
  active_control_ = nullptr;
  vcl::detail::UnrealizeTree(this);
  if (Application) Application->FormDestroyed(this);
  delete Icon;
}

vcl::detail::FormBinding& TCustomForm::Binding(const vcl::FormResource& resource) {
  if (binding_) {
    if (binding_->resource() != &resource)
      throw EReadError(AnsiString("A form reads one description; ") + resource.file +
                       " is a second one");
    return *binding_;
  }
  binding_ = std::make_unique<vcl::detail::FormBinding>(&resource);
  vcl::detail::LoadDescription(this, *binding_);
  return *binding_;
}

void TCustomForm::ReadDescription(std::string_view text, const std::string& file_name) {
  if (binding_)
    throw EReadError(AnsiString("A form reads one description; ") + file_name.c_str() +
                     " is a second one");
  binding_ = std::make_unique<vcl::detail::FormBinding>(nullptr);
  binding_->SetSource(file_name, "");
  vcl::detail::LoadObjectTree(this, vcl::dfm::Parse(text, file_name), *binding_);
}

void TCustomForm::CheckBindings() const {
  if (binding_) binding_->Check();
}

void TCustomForm::DoCreate() {
  vcl::detail::Guarded([this] {
    if (OnCreate) OnCreate(this);
  });
  if (visible_) Appear();
}

bool TCustomForm::GetShowing() const {
  return visible_ && !Loading();
}

void TCustomForm::Appear() {
  vcl::detail::RealizeForm(this);
  if (OnShow) OnShow(this);
}

void TCustomForm::VisibleChanged() {
  if (Loading()) return;
  if (visible_) {
    Appear();
  } else {
    if (OnHide) OnHide(this);
  }
}

void TCustomForm::Show() {
  Visible = true;
  BringToFront();
}

void TCustomForm::Hide() {
  Visible = false;
}

void TCustomForm::SetFocus() {
  if (!visible_ || !enabled_)
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  Changed(Change::ZOrder);
}

bool TCustomForm::CloseQuery() {
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(this, can_close);
  return can_close;
}

void TCustomForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  if (action == caFree)
    Release();
  else
    Hide();
}

void TCustomForm::Release() {
  if (Application) Application->QueueRelease(this);
}

void TCustomForm::FocusChanged(TWinControl* control) {
  if (control == active_control_) return;
  TWinControl* old = active_control_;
  active_control_ = control;
  if (old && !old->ComponentState().Contains(csDestroying)) old->DoExit();
  if (control && active_control_ == control) control->DoEnter();
  Changed(Change::Focus);
}

void TCustomForm::SetActiveControl(TWinControl* v) {
  if (Loading() || !visible_) {
    active_control_ = v;
    return;
  }
  if (v)
    v->SetFocus();
  else
    FocusChanged(nullptr);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == border_style_) return;
  int cw = client_width_, ch = client_height_;
  border_style_ = v;
  Changed(Change::Style);
  SetBounds(left_, top_, cw + 2 * FrameWidth(), ch + FrameHeight());
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  StoreShown(border_icons_, v, Change::Style);
}

void TCustomForm::SetWindowState(TWindowState v) {
  StoreShown(window_state_, v, Change::Style);
}

void TCustomForm::SetMenu(TMainMenu* v) {
  if (v == menu_) return;
  int cw = client_width_, ch = client_height_;
  menu_ = v;
  Changed(Change::Menu);
  SetBounds(left_, top_, cw + 2 * FrameWidth(), ch + FrameHeight());
}

// Frame metrics of the classic look: the border on each side; the caption, the menu bar and
// the lower border together.
int TCustomForm::FrameWidth() const {
  switch (border_style_) {
    case bsNone:
      return 0;
    case bsSizeable:
    case bsSizeToolWin:
      return 4;
    default:
      return 3;
  }
}

int TCustomForm::FrameHeight() const {
  int caption = 0;
  switch (border_style_) {
    case bsNone:
      caption = 0;
      break;
    case bsToolWindow:
    case bsSizeToolWin:
      caption = 16;
      break;
    default:
      caption = 22;
      break;
  }
  int menu = menu_ ? 20 : 0;
  return 2 * FrameWidth() + caption + menu;
}

void TCustomForm::UpdateClientSize() {
  client_width_ = std::max(0, width_ - 2 * FrameWidth());
  client_height_ = std::max(0, height_ - FrameHeight());
}

void TCustomForm::BoundsChanged() {
  UpdateClientSize();
  TWinControl::BoundsChanged();
  if (!Loading() && OnResize) OnResize(this);
}

void TCustomForm::SetClientWidth(int v) {
  SetBounds(left_, top_, v + 2 * FrameWidth(), height_);
}

void TCustomForm::SetClientHeight(int v) {
  SetBounds(left_, top_, width_, v + FrameHeight());
}

void TCustomForm::ClientArea(int& left, int& top, int& width, int& height) const {
  left = 0;
  top = 0;
  width = client_width_;
  height = client_height_;
}

void TCustomForm::ContentsChanged() {
  if (auto_size_ && !Loading()) FitToContents();
}

// The client area that holds every visible child: the extent of the free ones plus the room
// of the aligned ones.
void TCustomForm::FitToContents() {
  int right = 0, bottom = 0, left_room = 0, right_room = 0, top_room = 0, bottom_room = 0;
  bool any = false;
  for (TControl* c : controls_) {
    if (!c->visible_) continue;
    any = true;
    switch (c->align_) {
      case alTop:
        top_room += c->height_;
        break;
      case alBottom:
        bottom_room += c->height_;
        break;
      case alLeft:
        left_room += c->width_;
        break;
      case alRight:
        right_room += c->width_;
        break;
      case alClient:
        break;
      default:
        right = std::max(right, c->left_ + c->width_);
        bottom = std::max(bottom, c->top_ + c->height_);
        break;
    }
  }
  if (!any) return;
  int width = std::max(right, left_room) + right_room;
  int height = std::max(bottom, top_room) + bottom_room;
  if (width != client_width_ || height != client_height_)
    SetBounds(left_, top_, width + 2 * FrameWidth(), height + FrameHeight());
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (auto_size_) FitToContents();
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

// ---- TApplication ----

TApplication* Application = new TApplication(nullptr);

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  MarkDestroying();
  // Forms hear OnDestroy while they are whole, newest first.
  for (int i = ComponentCount - 1; i >= 0; --i) {
    if (i >= ComponentCount) continue;
    if (auto* form = dynamic_cast<TCustomForm*>(Components[i]))
      if (form->OnDestroy) Guard([form] { form->OnDestroy(form); });
  }
  DestroyComponents();
}

void TApplication::Initialize() {}

void TApplication::FormCreated(TCustomForm* form) {
  form->CheckBindings();
  if (!main_form_)
    if (auto* f = dynamic_cast<TForm*>(form)) main_form_ = f;
  form->DoCreate();
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (main_form_ == form) main_form_ = nullptr;
  released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
}

void TApplication::QueueRelease(TCustomForm* form) {
  if (std::find(released_.begin(), released_.end(), form) == released_.end())
    released_.push_back(form);
  if (vcl::WidgetSet* ws = vcl::CurrentWidgetSet()) ws->Wake();
}

void TApplication::DeleteReleasedForms() {
  while (!released_.empty()) {
    TCustomForm* form = released_.back();
    released_.pop_back();
    if (form->OnDestroy) Guard([form] { form->OnDestroy(form); });
    delete form;
  }
}

void TApplication::Run() {
  if (main_form_ && show_main_form_ && !terminated_) main_form_->Show();
  if (terminated_) return;
  running_ = true;
  vcl::detail::AcceptSends();
  try {
    vcl::detail::RequireWidgetSet().Run();
  } catch (...) {
    running_ = false;
    vcl::detail::EndPendingSends();
    throw;
  }
  running_ = false;
  vcl::detail::EndPendingSends();
}

void TApplication::Terminate() {
  terminated_ = true;
  if (vcl::WidgetSet* ws = vcl::CurrentWidgetSet()) ws->Quit();
}

bool TApplication::EndRequested() {
  vcl::WidgetSet* ws = vcl::CurrentWidgetSet();
  return ws && ws->EndRequested();
}

void TApplication::EndSession() {
  if (session_ended_) return;
  session_ended_ = true;
  // A main form that has closed already (the handler that was running closed it) is not closed
  // twice.
  if (terminated_) return;
  if (main_form_) vcl::input::CloseRequest(main_form_);
  // The session is going: a close query that kept the form does not keep the program.
  if (!terminated_) Terminate();
}

namespace {
// Longer than any path the system opens.
constexpr DWORD kMaxExeName = 1u << 16;
}  // namespace

AnsiString TApplication::GetExeName() const {
  // The whole path, however long: the buffer grows until it fits (a path cut at MAX_PATH would
  // name a file in a parent folder).
  for (DWORD size = MAX_PATH + 1; size <= kMaxExeName; size *= 2) {
    std::string path(size, '\0');
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), size);
    if (n == 0) return AnsiString();
    if (n < size) return AnsiString(path.data(), static_cast<int>(n));
  }
  return AnsiString();
}

AnsiString TApplication::GetTitle() const {
  if (title_set_) return title_;
  // The program file's name, also where its path has no exact text (a title only shows).
  const std::string path = platform::ModuleFilePath();
  return ChangeFileExt(AnsiString(platform::Utf8ToCp1251(path.substr(path.rfind('/') + 1))), "");
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags) {
  return vcl::detail::RequireWidgetSet().MessageBox(Text, Caption, Flags);
}

namespace {

// The exception display adds a period unless the text already ends in punctuation.
AnsiString WithPeriod(const AnsiString& text) {
  if (text.IsEmpty()) return text;
  auto last = static_cast<unsigned char>(text[text.Length()]);
  if (last > '.') return text + ".";
  return text;
}

}  // namespace

void TApplication::ShowException(Exception* E) {
  AnsiString text = WithPeriod(E ? E->Message : AnsiString());
  vcl::WidgetSet* ws = vcl::CurrentWidgetSet();
  if (!ws) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return;
  }
  ws->ShowException(text, Title());
}

std::vector<TApplication::ExceptionText>& TApplication::ExceptionTexts() {
  static std::vector<ExceptionText> texts;
  return texts;
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  AnsiString text;
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
    return;
  } catch (...) {
  }
  bool known = false;
  for (auto& registered : ExceptionTexts())
    if (registered(current, text)) {
      known = true;
      break;
    }
  if (!known) {
    try {
      std::rethrow_exception(current);
    } catch (Exception& e) {
      try {
        if (OnException)
          OnException(Sender, &e);
        else
          ShowException(&e);
      } catch (...) {
      }
      return;
    } catch (const std::exception& e) {
      text = e.what();
    } catch (...) {
      text = "Unknown exception";
    }
  }
  Exception wrapped(text);
  try {
    if (OnException)
      OnException(Sender, &wrapped);
    else
      ShowException(&wrapped);
  } catch (...) {
  }
}

void TApplication::Guard(const std::function<void()>& fn) {
  try {
    fn();
  } catch (...) {
    HandleException(this);
  }
}

// ---- Helpers ----

namespace vcl {

void ResetApplication() {
  delete Application;
  Application = new TApplication(nullptr);
  // The new application's loop is still to come: messages sent to its windows wait for it.
  vcl::detail::AcceptSends();
}

namespace detail {

AnsiString ApplicationTitle() {
  return Application ? Application->Title() : AnsiString();
}

TComponent* BindFieldImpl(TCustomForm* form, const FormResource& resource, const char* name,
                          const std::type_info&, bool (*is)(TComponent*), const char* type_name) {
  FormBinding& binding = form->Binding(resource);
  TComponent* c = form->FindComponent(name);
  if (!c)
    binding.Fail(0, "The field " + binding.class_name() + "." + name +
                        " has no object of that name in the description");
  if (!is(c))
    binding.Fail(binding.LineOf(c), std::string(name) + " is a " + c->ClassName().str() +
                                        ", but the field " + binding.class_name() + "." + name +
                                        " is a " + type_name);
  return c;
}

void RegisterHandler(TCustomForm* form, const FormResource& resource, const char* name,
                     AnyHandler handler) {
  form->Binding(resource).AddHandler(name, std::move(handler));
}

}  // namespace detail
}  // namespace vcl
