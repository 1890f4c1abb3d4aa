// The application: the exception display, closing forms, window messages from other threads,
// what the widget set is told, and the dialogs.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "test_support/temp_dir.h"
#include "vcl/headless_gtest.h"

namespace hl = vcl::headless;

namespace {

// An error class of a program, with no base class.
struct PortError {
  int code;
};

}  // namespace

class ApplicationTest : public hl::FormTest {};

TEST_F(ApplicationTest, ExceptionsLeavingHandlersAreShownByKind) {
  Application->RegisterExceptionText<PortError>(
      [](const PortError& e) { return AnsiString("Port error ") + AnsiString(e.code); });
  struct Case {
    std::function<void()> raise;
    const char* shown;  // nullptr: nothing shown
  };
  const Case cases[] = {
      {[] { StrToInt("12x"); }, "'12x' is not a valid integer value."},
      {[] { throw Exception("Already ends with a stop."); }, "Already ends with a stop."},
      {[] { throw EConvertError(""); }, ""},
      {[] { Abort(); }, nullptr},
      {[] { throw PortError{5}; }, "Port error 5."},
      {[] { throw std::runtime_error("disk full"); }, "disk full."},
      {[] { throw 42; }, "Unknown exception."},
  };
  for (const Case& c : cases) {
    responder().ClearShown();
    Application->Guard(c.raise);
    if (!c.shown) {
      EXPECT_TRUE(responder().Shown().empty());
      continue;
    }
    ASSERT_EQ(responder().Shown().size(), 1u) << c.shown;
    EXPECT_EQ(responder().Shown()[0].kind, hl::ModalKind::Exception);
    EXPECT_EQ(responder().Shown()[0].text, c.shown);
    EXPECT_EQ(responder().Shown()[0].caption, Application->Title());
  }
}

TEST_F(ApplicationTest, OnCreateThatThrowsIsShownAndTheFormStays) {
  class TFailing : public TForm {
   public:
    explicit TFailing(TComponent* Owner) : TForm(Owner) {
      OnCreate = [](TObject*) { StrToTime("25:99"); };
    }
  };
  TFailing* form = nullptr;
  Application->CreateForm<TFailing>(&form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Application->MainForm(), form);
  ASSERT_EQ(responder().Shown().size(), 1u);
  EXPECT_EQ(responder().Shown()[0].kind, hl::ModalKind::Exception);
}

TEST_F(ApplicationTest, CloseRunsTheQueryThenTheCloseAction) {
  TForm* main;
  Application->CreateForm<TForm>(&main);
  TForm* second;
  Application->CreateForm<TForm>(&second);
  second->Show();
  std::vector<std::string> events;
  bool allow = false;
  TCloseAction action = caHide;
  for (TForm* f : {main, second}) {
    f->OnCloseQuery = [&, f](TObject*, bool& can) {
      events.push_back(f == main ? "main query" : "query");
      can = allow;
    };
    f->OnClose = [&, f](TObject*, TCloseAction& a) {
      events.push_back(f == main ? "main close" : "close");
      a = action;
    };
  }
  second->Close();  // refused
  EXPECT_TRUE(second->Visible);
  allow = true;
  action = caNone;
  second->Close();
  EXPECT_TRUE(second->Visible);
  action = caHide;
  second->Close();
  EXPECT_FALSE(second->Visible);
  EXPECT_FALSE(Application->Terminated);
  main->Close();  // the main form ends the loop
  EXPECT_TRUE(Application->Terminated);
  EXPECT_EQ(events, (std::vector<std::string>{"query", "query", "close", "query", "close",
                                              "main query", "main close"}));

  TForm* third = new TForm(Application);
  third->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
  third->Close();
  EXPECT_EQ(Application->ComponentCount, 3);
  hl::PumpMessages();  // released when the loop runs
  EXPECT_EQ(Application->ComponentCount, 2);
}

namespace {

constexpr UINT WM_TEST_NOTIFY = WM_USER + 2;

class TMessageForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<LPARAM> received;
  std::thread::id handled_on;
  void OnNotify(TMessage& m) {
    received.push_back(m.LParam);
    handled_on = std::this_thread::get_id();
    if (m.LParam == 99) throw Exception("bad notice");
    m.Result = m.LParam + 1;
  }
  BEGIN_MESSAGE_MAP
  VCL_MESSAGE_HANDLER(WM_TEST_NOTIFY, TMessage, OnNotify)
  END_MESSAGE_MAP(TForm)
};

}  // namespace

TEST_F(ApplicationTest, WindowMessagesFromAWorkerReachTheFormOnTheGuiThread) {
  auto* form = new TMessageForm(Application);
  HWND hwnd = form->Handle;
  std::atomic<LRESULT> sent_result{-1};
  std::thread worker([&] {
    PostMessageA(hwnd, WM_TEST_NOTIFY, 0, 1);
    PostMessageA(hwnd, WM_TEST_NOTIFY, 0, 99);               // its handler throws
    PostMessageA(hwnd, WM_USER + 7, 0, 5);                   // no handler: the default one
    sent_result = SendMessageA(hwnd, WM_TEST_NOTIFY, 0, 3);  // waits for the GUI thread
  });
  EXPECT_TRUE(hl::PumpUntil([&] { return sent_result.load() != -1; }));
  worker.join();
  EXPECT_EQ(sent_result.load(), 4);
  EXPECT_EQ(form->received, (std::vector<LPARAM>{1, 99, 3}));
  EXPECT_EQ(form->handled_on, std::this_thread::get_id());
  ASSERT_EQ(responder().Shown().size(), 1u);
  EXPECT_EQ(responder().Shown()[0].text, "bad notice.");
  // On the GUI thread a sent message is handled at once.
  EXPECT_EQ(SendMessageA(hwnd, WM_TEST_NOTIFY, 0, 10), 11);
  // A message for a window that is gone is dropped.
  PostMessageA(hwnd, WM_TEST_NOTIFY, 0, 20);
  delete form;
  EXPECT_EQ(hl::PumpMessages(), 1u);
  EXPECT_FALSE(PostMessageA(hwnd, WM_TEST_NOTIFY, 0, 21));
}

namespace {

// Records what the library tells a widget set.
class RecordingWidgetSet : public hl::HeadlessWidgetSet {
 public:
  std::vector<std::string> log;
  std::string Name(TComponent* c) { return c->Name().str(); }
  void Insert(TComponent* c) override {
    log.push_back("insert " + Name(c));
    HeadlessWidgetSet::Insert(c);
  }
  void Remove(TComponent* c) override {
    log.push_back("remove " + Name(c));
    HeadlessWidgetSet::Remove(c);
  }
  void Changed(TComponent* c, vcl::Change what, int index) override {
    if (what == vcl::Change::Text || what == vcl::Change::Menu || what == vcl::Change::ItemAdded)
      log.push_back("changed " + Name(c) + " " + std::to_string(static_cast<int>(what)) + " " +
                    std::to_string(index));
  }
};

}  // namespace

TEST(WidgetSetContract, InsertOrderChangesAndRemoval) {
  RecordingWidgetSet ws;
  vcl::SetWidgetSet(&ws);
  vcl::ResetApplication();
  {
    auto* form = new TForm(Application);
    form->Name = "F";
    auto* menu = new TMainMenu(form);
    menu->Name = "M";
    auto* item = new TMenuItem(form);
    item->Name = "I";
    menu->Items->Add(item);
    form->Menu = menu;
    auto* panel = new TPanel(form);
    panel->Name = "P";
    panel->Parent = form;
    auto* label = new TLabel(form);
    label->Name = "L";
    label->Parent = panel;
    EXPECT_TRUE(ws.log.empty());  // nothing until the form is shown
    form->Show();
    label->Caption = "x";
    auto* memo = new TMemo(form);
    memo->Name = "E";
    memo->Parent = panel;
    memo->Lines->Add("line");
    delete panel;
    auto changed = [](const char* name, vcl::Change what, int index) {
      return std::string("changed ") + name + " " + std::to_string(static_cast<int>(what)) + " " +
             std::to_string(index);
    };
    std::vector<std::string> expected = {"insert F",
                                         "insert M",
                                         "insert ",  // the menu's root item
                                         "insert I",
                                         changed("F", vcl::Change::Menu, -1),
                                         "insert P",
                                         "insert L",
                                         changed("L", vcl::Change::Text, -1),
                                         "insert E",
                                         changed("E", vcl::Change::ItemAdded, 0),
                                         "remove E",
                                         "remove L",
                                         "remove P"};
    EXPECT_EQ(ws.log, expected);
  }
  vcl::ResetApplication();
  vcl::SetWidgetSet(nullptr);
}

TEST_F(ApplicationTest, SelectDirectoryOptions) {
  namespace fs = std::filesystem;
  test_support::TempDir folder("vcl_gui_dirs");
  const fs::path& base = folder.path();
  fs::create_directories(base / "exists");
  AnsiString exists = (base / "exists").string().c_str();
  AnsiString fresh = (base / "new" / "deeper").string().c_str();
  const TSelectDirOpts all{sdAllowCreate, sdPerformCreate, sdPrompt};

  AnsiString dir;
  responder().AnswerSelectFolder(exists);
  EXPECT_TRUE(SelectDirectory(dir, all, 0));
  EXPECT_EQ(dir, exists);

  // Asked first; No goes back to the dialog, which is then cancelled.
  responder().AnswerSelectFolder(fresh).AnswerMessageBox(IDNO).CancelSelectFolder();
  EXPECT_FALSE(SelectDirectory(dir, all, 0));
  EXPECT_FALSE(fs::exists((base / "new").string()));

  responder().AnswerSelectFolder(fresh).AnswerMessageBox(IDYES);
  EXPECT_TRUE(SelectDirectory(dir, all, 0));
  EXPECT_EQ(dir, fresh);
  EXPECT_TRUE(fs::is_directory(fresh.c_str()));

  // Without allow-create a missing folder is refused and the dialog comes again.
  AnsiString missing = (base / "missing").string().c_str();
  responder().AnswerSelectFolder(missing).AnswerSelectFolder(exists);
  EXPECT_TRUE(SelectDirectory(dir, TSelectDirOpts{}, 0));
  EXPECT_EQ(dir, exists);
  // Allowed but not created.
  responder().AnswerSelectFolder(missing);
  EXPECT_TRUE(SelectDirectory(dir, TSelectDirOpts{sdAllowCreate}, 0));
  EXPECT_FALSE(fs::exists(missing.c_str()));
}

TEST_F(ApplicationTest, SelectDirectoryStartsAtTheCurrentFolderAndRefusesAnEmptyChoice) {
  AnsiString dir;
  responder().AnswerSelectFolder("").AnswerSelectFolder("").CancelSelectFolder();
  EXPECT_FALSE(SelectDirectory(dir, TSelectDirOpts{sdAllowCreate, sdPerformCreate, sdPrompt}, 0));
  EXPECT_EQ(dir, "");
  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[1].text, "No folder was chosen.");
  EXPECT_EQ(shown[3].text, "No folder was chosen.");
  // The cancelled dialog shows what it was preset with: the current folder.
  EXPECT_EQ(shown[4].kind, vcl::headless::ModalKind::SelectFolder);
  EXPECT_EQ(shown[4].path, GetCurrentDir());
}

TEST_F(ApplicationTest, ShellFolderBrowser) {
  char name[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.lpszTitle = "\xD3\xEA\xE0\xE6\xE8\xF2\xE5 \xEA\xE0\xF2\xE0\xEB\xEE\xE3";
  info.pszDisplayName = name;
  responder().AnswerFolderBrowser("D:\\Data").CancelFolderBrowser();
  LPITEMIDLIST list = SHBrowseForFolderA(&info);
  ASSERT_NE(list, nullptr);
  char path[MAX_PATH] = {};
  EXPECT_TRUE(SHGetPathFromIDListA(list, path));
  EXPECT_STREQ(path, "D:\\Data");
  EXPECT_STREQ(name, "Data");
  CoTaskMemFree(list);
  EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);
  EXPECT_EQ(responder().Shown().at(0).text, info.lpszTitle);

  // The caller's MAX_PATH buffer would get a longer path cut, naming a parent folder: such a
  // folder is refused with its name, as a cancel. One character less fits.
  responder().ClearShown();
  const AnsiString longest = "D:\\" + AnsiString(std::string(MAX_PATH - 4, 'd'));
  const AnsiString too_long = longest + "e";
  responder().AnswerFolderBrowser(too_long).AnswerFolderBrowser(longest);
  EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);
  ASSERT_EQ(responder().Shown().size(), 2u);
  EXPECT_EQ(responder().Shown()[1].text, "Программа не может работать с папкой под этим именем:\n" +
                                             too_long + "\nПуть длиннее 259 знаков.");
  EXPECT_EQ(responder().Shown()[1].flags, MB_OK | MB_ICONWARNING);
  list = SHBrowseForFolderA(&info);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(SHGetPathFromIDListA(list, path));
  EXPECT_EQ(AnsiString(path), longest);
  CoTaskMemFree(list);
}

TEST(NoWidgetSet, ModalCallsRaiseAndControlsStillWork) {
  vcl::WidgetSet* previous = vcl::CurrentWidgetSet();
  vcl::SetWidgetSet(nullptr);
  EXPECT_THROW(ShowMessage("x"), EInvalidOperation);
  TEdit edit(nullptr);
  edit.Text = "abc";
  EXPECT_EQ(edit.Text(), "abc");
  vcl::SetWidgetSet(previous);
}
