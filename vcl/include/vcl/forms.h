// Forms and the application.
//
// A form class publishes its controls and handlers to its form description (a *.dfm text
// beside its unit, compiled in by vcl_add_forms, vcl/cmake/vcl_forms.cmake):
//
//   class TML_Form : public TForm {
//    public:
//     VCL_FORM(TML_Form)                          // first: names the description
//     VCL_FIELD(TSpeedButton, SBMode);            // TSpeedButton* SBMode, bound by name
//     VCL_FIELDS(TLabel, Label1, Label2, Label3); // several fields of one class
//     void SBModeClick(TObject* Sender);
//     void FormClose(TObject* Sender, TCloseAction& Action);
//     VCL_HANDLERS(SBModeClick, FormClose);       // handlers the description may name
//     explicit TML_Form(TComponent* Owner);
//   };
//   TML_Form::TML_Form(TComponent* Owner) : TForm(Owner) { /* controls exist here */ }
//
// The description ("object ML_Form: TML_Form ... end") is read when the first of these
// members is initialised, so the constructor body runs after every control has been built and
// every field points to its control; events (OnClick = SBModeClick) are bound as the handlers
// register, all before the constructor body. Application->CreateForm<TML_Form>(&ML_Form) then
// checks that every handler the description names exists and runs OnCreate.
//
// Errors (an EReadError whose message starts with "<file>(<line>): ") stop the start-up: a
// description that does not parse, an unknown class, property or value, a field whose object
// is missing or of another class, a handler that the class does not publish or whose kind
// does not fit the event. A description object without a field is fine (FindComponent).
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "vcl/controls.h"

class TMainMenu;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon>;

// Results of modal forms and message dialogs (the same numbers as IDOK ... IDNO).
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// Flags and results of TApplication::MessageBox, as in the Windows API.
constexpr int MB_OK = 0x0;
constexpr int MB_OKCANCEL = 0x1;
constexpr int MB_ABORTRETRYIGNORE = 0x2;
constexpr int MB_YESNOCANCEL = 0x3;
constexpr int MB_YESNO = 0x4;
constexpr int MB_RETRYCANCEL = 0x5;
constexpr int MB_ICONHAND = 0x10;
constexpr int MB_ICONSTOP = 0x10;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONASTERISK = 0x40;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int MB_DEFBUTTON1 = 0x000;
constexpr int MB_DEFBUTTON2 = 0x100;
constexpr int MB_DEFBUTTON3 = 0x200;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

namespace vcl {
// A file embedded in the program by vcl_add_forms.
struct EmbeddedFile {
  const char* name;  // file name without folder, as the description names it
  const unsigned char* data;
  std::size_t size;
};
// A form description compiled into the program, with the pictures of the same
// vcl_add_forms call.
struct FormResource {
  const char* file;  // the description's file name, for messages
  const char* text;  // UTF-8 text
  std::size_t size;
  const EmbeddedFile* files;
  std::size_t file_count;
};
namespace detail {
class FormBinding;
}
}  // namespace vcl

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  VCL_CLASS_NAME(TCustomForm)

  Property<TFormBorderStyle> BorderStyle{this, &TCustomForm::GetBorderStyle,
                                         &TCustomForm::SetBorderStyle};
  Property<TBorderIcons> BorderIcons{this, &TCustomForm::GetBorderIcons,
                                     &TCustomForm::SetBorderIcons};
  // Where the form appears when first shown (poScreenCenter, poDesktopCenter: centred; the
  // widget set places it).
  Property<TPosition> Position{this, &TCustomForm::GetPosition, &TCustomForm::SetPosition};
  Property<TWindowState> WindowState{this, &TCustomForm::GetWindowState,
                                     &TCustomForm::SetWindowState};
  Property<TFormStyle> FormStyle{this, &TCustomForm::GetFormStyle, &TCustomForm::SetFormStyle};
  Property<TMainMenu*> Menu{this, &TCustomForm::GetMenu, &TCustomForm::SetMenu};
  TIcon* const Icon;
  Property<bool> KeyPreview{[this] { return key_preview_; }, [this](bool v) { key_preview_ = v; }};
  Property<int> ModalResult{[this] { return modal_result_; }, [this](int v) { modal_result_ = v; }};
  // The control with the keyboard focus, or nullptr.
  Property<TWinControl*> ActiveControl{this, &TCustomForm::GetActiveControl,
                                       &TCustomForm::SetActiveControl};

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnResize;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Show makes the form visible (running OnShow when it was hidden) and brings it to the
  // front; Hide hides it (OnHide).
  void Show() override;
  void Hide() override;
  // Runs OnCloseQuery; when the close is allowed, OnClose with the action caHide. caNone keeps
  // the form; otherwise closing the main form ends the message loop (Application->Terminate),
  // and another form is hidden (caHide, caMinimize) or released (caFree).
  void Close();
  // OnCloseQuery's answer (true when there is no handler).
  virtual bool CloseQuery();
  // Deletes the form when the message loop next runs.
  void Release();
  void SetFocus() override;

  // ---- Library internals ----
  // Reads the form description into this form (once); used by VCL_FORM / VCL_FIELD.
  vcl::detail::FormBinding& Binding(const vcl::FormResource& resource);
  // Reads a description given as text into this form (once), as the form classes' own
  // description is read; for tools and tests. Its events stay unbound (CheckBindings reports
  // them) and Picture.Resource finds no file.
  void ReadDescription(std::string_view text, const std::string& file_name);
  // Raises EReadError when the description names a handler that no VCL_HANDLER published.
  void CheckBindings() const;
  // Runs OnCreate inside the application's handler guard (done by CreateForm).
  void DoCreate();
  // Called when the control that has the focus changes.
  void FocusChanged(TWinControl* control);

 protected:
  bool GetShowing() const override;
  void VisibleChanged() override;
  void ClientArea(int& left, int& top, int& width, int& height) const override;
  int GetClientWidth() const override { return client_width_; }
  int GetClientHeight() const override { return client_height_; }
  void SetClientWidth(int v) override;
  void SetClientHeight(int v) override;
  void BoundsChanged() override;
  void Loaded() override;

 private:
  TFormBorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons GetBorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons v);
  TPosition GetPosition() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TWindowState GetWindowState() const { return window_state_; }
  void SetWindowState(TWindowState v);
  TFormStyle GetFormStyle() const { return form_style_; }
  void SetFormStyle(TFormStyle v) { form_style_ = v; }
  TMainMenu* GetMenu() const { return menu_; }
  void SetMenu(TMainMenu* v);
  TWinControl* GetActiveControl() const { return active_control_; }
  void SetActiveControl(TWinControl* v);
  void UpdateClientSize();
  void FitToContents();
  void ContentsChanged() override;
  // Realizes the form on the widget set and runs OnShow.
  void Appear();
  int FrameWidth() const;
  int FrameHeight() const;

  TFormBorderStyle border_style_ = bsSizeable;
  TBorderIcons border_icons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TWindowState window_state_ = wsNormal;
  TFormStyle form_style_ = fsNormal;
  TMainMenu* menu_ = nullptr;
  bool key_preview_ = false;
  int modal_result_ = 0;
  TWinControl* active_control_ = nullptr;
  int client_width_ = 0;
  int client_height_ = 0;
  bool shown_once_ = false;
  std::unique_ptr<vcl::detail::FormBinding> binding_;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* AOwner);
  VCL_CLASS_NAME(TForm)
};

using TExceptionEvent = std::function<void(TObject* Sender, Exception* E)>;

// The application: creates the forms, runs the message loop, shows exceptions that leave
// event handlers. One instance, `Application`.
class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;
  VCL_CLASS_NAME(TApplication)

  void Initialize();
  // Creates a form owned by the application: the constructor (which reads the description),
  // the check of its handlers, then OnCreate (an exception from OnCreate is shown and the form
  // stays). The first form created becomes the main form. A form whose description sets
  // Visible = True is shown.
  template <class T>
  void CreateForm(T** Reference) {
    T* form = new T(this);
    if (Reference) *Reference = form;
    FormCreated(form);
  }
  // Shows the main form (unless ShowMainForm is false) and runs the message loop until the
  // main form closes or Terminate is called. Every event runs inside the handler guard.
  void Run();
  // Ends the message loop (at once when it is not running yet).
  void Terminate();
  // The desktop session ends (SIGTERM, SIGHUP: vcl/session_end.h): the main form is closed as
  // its title bar's close does (OnCloseQuery, OnClose), then the loop ends even when the form
  // stayed open. The widget set calls it on the GUI thread once no handler is running; later
  // calls do nothing.
  void EndSession();
  // For a handler that blocks the GUI thread for long (the track dump), called every few
  // hundred milliseconds: keeps the windows painted and takes in the main form's close and the
  // end of the session, running no handler meanwhile. True once either was asked for; the
  // handler then ends its work as cut short, and the form is closed (the session ended) as
  // soon as the handler has returned.
  bool EndRequested();

  ReadOnlyProperty<TForm*> MainForm{this, &TApplication::GetMainForm};
  // The program file's full path (GetModuleFileNameA), however long; empty when no text names
  // it exactly (a character outside the code page, a backslash in a folder's name:
  // platform::ModuleFileNameProblem says which).
  ReadOnlyProperty<AnsiString> ExeName{this, &TApplication::GetExeName};
  // The caption of message boxes and of the exception display; the program file's name without
  // its extension until set.
  Property<AnsiString> Title{this, &TApplication::GetTitle, &TApplication::SetTitle};
  Property<bool> ShowMainForm{[this] { return show_main_form_; },
                              [this](bool v) { show_main_form_ = v; }};
  ReadOnlyProperty<bool> Terminated{this, &TApplication::GetTerminated};
  Property<AnsiString> HelpFile{[this] { return help_file_; },
                                [this](const AnsiString& v) { help_file_ = v; }};
  TExceptionEvent OnException;

  // A modal box with the Windows flags (MB_OK, MB_OKCANCEL, MB_YESNO, MB_ICON...) returning the
  // button pressed (IDOK, IDCANCEL, IDYES, IDNO ...). An empty caption stays empty.
  int MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags = MB_OK);

  // The default display of an exception: its Message (a period added unless it already ends
  // in a punctuation mark) in a modal box with the application's title.
  void ShowException(Exception* E);
  // Called inside a catch block: EAbort is swallowed silently; OnException, if set, gets an
  // Exception; otherwise an Exception shows its message, a type registered with
  // RegisterExceptionText its own text, a std::exception its what(), and anything else
  // "Unknown exception.".
  void HandleException(TObject* Sender);
  // Registers the text shown for an exception type that does not derive from Exception
  // (the serial port's ECommError). The registration holds for the whole process, for every
  // application object, so a unit can make it at its start:
  //   TApplication::RegisterExceptionText<ECommError>([](const ECommError& e) { return e.Text();
  //   });
  template <class E>
  static void RegisterExceptionText(std::function<AnsiString(const E&)> text) {
    ExceptionTexts().insert(ExceptionTexts().begin(),
                            [text](std::exception_ptr p, AnsiString& out) -> bool {
                              try {
                                std::rethrow_exception(p);
                              } catch (const E& e) {
                                out = text(e);
                                return true;
                              } catch (...) {
                                return false;
                              }
                            });
  }

  // Runs fn inside the handler guard: an exception that leaves it goes to HandleException.
  // Every event that the widget set delivers runs this way.
  void Guard(const std::function<void()>& fn);

  // ---- Library internals ----
  void FormCreated(TCustomForm* form);
  void FormDestroyed(TCustomForm* form);
  // Forms that Release asked to delete; deleted when the loop next runs.
  void DeleteReleasedForms();
  void QueueRelease(TCustomForm* form);

 private:
  using ExceptionText = std::function<bool(std::exception_ptr, AnsiString&)>;
  static std::vector<ExceptionText>& ExceptionTexts();
  TForm* GetMainForm() const { return main_form_; }
  AnsiString GetExeName() const;
  AnsiString GetTitle() const;
  void SetTitle(const AnsiString& v) {
    title_ = v;
    title_set_ = true;
  }
  bool GetTerminated() const { return terminated_; }

  TForm* main_form_ = nullptr;
  AnsiString title_;
  bool title_set_ = false;
  bool show_main_form_ = true;
  bool terminated_ = false;
  bool running_ = false;
  bool session_ended_ = false;
  AnsiString help_file_;
  std::vector<TCustomForm*> released_;
};

// The application object. Tests replace it with a fresh one per case (vcl/headless.h).
extern TApplication* Application;

// ---- Publishing a form class's fields and handlers (see the top of this file) ----
namespace vcl {
// Replaces the application object with a new one (the old one and its forms are deleted).
void ResetApplication();

namespace detail {
// A handler of any event kind, by its std::function type.
struct AnyHandler {
  std::type_index type{typeid(void)};
  std::shared_ptr<void> fn;  // std::function<Sig>
};

TComponent* BindFieldImpl(TCustomForm* form, const FormResource& resource, const char* name,
                          const std::type_info& type, bool (*is)(TComponent*),
                          const char* type_name);
void RegisterHandler(TCustomForm* form, const FormResource& resource, const char* name,
                     AnyHandler handler);

template <class T>
T* BindField(TCustomForm* form, const FormResource& resource, const char* name,
             const char* type_name) {
  return static_cast<T*>(BindFieldImpl(
      form, resource, name, typeid(T), [](TComponent* c) { return dynamic_cast<T*>(c) != nullptr; },
      type_name));
}

// Loads the description when constructed (VCL_FORM's member).
struct FormLoad {
  FormLoad(TCustomForm* form, const FormResource& resource) { form->Binding(resource); }
};

// Publishes one handler method (VCL_HANDLER's member).
struct HandlerSlot {
  template <class C, class R, class... A>
  HandlerSlot(C* form, const FormResource& resource, const char* name, R (C::*method)(A...)) {
    using Fn = std::function<R(A...)>;
    AnyHandler h;
    h.type = typeid(Fn);
    h.fn = std::make_shared<Fn>(
        [form, method](A... args) -> R { return (form->*method)(std::forward<A>(args)...); });
    RegisterHandler(form, resource, name, std::move(h));
  }
};
}  // namespace detail
}  // namespace vcl

#define VCL_FORM(Class)                                         \
  using vcl_self_ = Class;                                      \
  static const ::vcl::FormResource& vcl_form_resource_() {      \
    extern const ::vcl::FormResource vcl_form_resource_##Class; \
    return vcl_form_resource_##Class;                           \
  }                                                             \
  [[no_unique_address]] ::vcl::detail::FormLoad vcl_form_load_{this, vcl_form_resource_()};

#define VCL_FIELD(Type, Name) \
  Type* Name = ::vcl::detail::BindField<Type>(this, vcl_form_resource_(), #Name, #Type)

#define VCL_HANDLER(Name)                                                  \
  [[no_unique_address]] ::vcl::detail::HandlerSlot vcl_handler_##Name##_ { \
    this, vcl_form_resource_(), #Name, &vcl_self_::Name                    \
  }

// VCL_FIELDS(TLabel, Label1, Label2) and VCL_HANDLERS(AClick, BClick): several at once.
#define VCL_PP_PARENS ()
#define VCL_PP_EXPAND(...) \
  VCL_PP_EXPAND4(VCL_PP_EXPAND4(VCL_PP_EXPAND4(VCL_PP_EXPAND4(__VA_ARGS__))))
#define VCL_PP_EXPAND4(...) \
  VCL_PP_EXPAND3(VCL_PP_EXPAND3(VCL_PP_EXPAND3(VCL_PP_EXPAND3(__VA_ARGS__))))
#define VCL_PP_EXPAND3(...) \
  VCL_PP_EXPAND2(VCL_PP_EXPAND2(VCL_PP_EXPAND2(VCL_PP_EXPAND2(__VA_ARGS__))))
#define VCL_PP_EXPAND2(...) \
  VCL_PP_EXPAND1(VCL_PP_EXPAND1(VCL_PP_EXPAND1(VCL_PP_EXPAND1(__VA_ARGS__))))
#define VCL_PP_EXPAND1(...) __VA_ARGS__
#define VCL_PP_FOR_EACH(macro, arg, ...) \
  __VA_OPT__(VCL_PP_EXPAND(VCL_PP_FOR_EACH_HELPER(macro, arg, __VA_ARGS__)))
#define VCL_PP_FOR_EACH_HELPER(macro, arg, a1, ...) \
  macro(arg, a1) __VA_OPT__(VCL_PP_FOR_EACH_AGAIN VCL_PP_PARENS(macro, arg, __VA_ARGS__))
#define VCL_PP_FOR_EACH_AGAIN() VCL_PP_FOR_EACH_HELPER
#define VCL_PP_FIELD_(Type, Name) VCL_FIELD(Type, Name);
#define VCL_PP_HANDLER_(unused, Name) VCL_HANDLER(Name);
#define VCL_FIELDS(Type, ...) VCL_PP_FOR_EACH(VCL_PP_FIELD_, Type, __VA_ARGS__)
#define VCL_HANDLERS(...) VCL_PP_FOR_EACH(VCL_PP_HANDLER_, ~, __VA_ARGS__)
