// The modem console window on the headless widget set: what its form builds, its creation (port
// list, labels, the notification-area icon), the phone book behind "Редактировать" and
// "Загрузить" (in the working folder the program's entry gives it), and the main window's button
// that shows it.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "sms_modul/sms_modul.h"
#include "trakmon_fixture.h"
#include "vcl/winmain.h"

using vcl::headless::Click;
using vcl::headless::Find;
using vcl::headless::ModalKind;

namespace {

std::vector<AnsiString> ItemsOf(TComboBox* box) {
  std::vector<AnsiString> items;
  for (int i = 0; i < box->Items->Count; ++i) items.push_back(box->Items->Strings[i]);
  return items;
}

class FormMsgTest : public TrakmonTest {
 protected:
  void SetUp() override {
    // The machine's own serial devices stay out of the port list.
    platform::testing::SetDeviceRoot(dir());
    for (const char* port : {"COM10", "COM3"})
      platform::sim::Attach(port, std::make_shared<sim::TrackerDevice>());
    CreateMainForm();
    Application->CreateForm<TFormMsg>(&form);
    FormMsg = form;
    work_folder = AnsiString(dir() + "/");
    form->WorkFolder = [this] { return work_folder; };
  }
  void TearDown() override {
    FormMsg = nullptr;
    platform::testing::SetDeviceRoot("");
    TrakmonTest::TearDown();
  }

  void WriteBook(const std::string& bytes) {
    std::ofstream(dir() + "/phone.txt", std::ios::binary) << bytes;
  }
  bool BookExists() const { return std::filesystem::exists(dir() + "/phone.txt"); }
  void Edit() { Click(form->edit_ph_box); }

  TFormMsg* form = nullptr;
  AnsiString work_folder;
};

struct ExpectedControl {
  const char* name;
  const char* class_name;
  std::optional<std::string> caption;  // Caption (menu items, buttons, labels) or Text
  bool visible, enabled;
};
constexpr auto none = std::nullopt;

// The controls with their kind, caption or text and state after creation.
const std::vector<ExpectedControl> kControls = {
    {"SpeedButton1", "TSpeedButton", "Соединить", true, true},
    {"SpeedButton2", "TSpeedButton", "Разъединить", true, false},
    {"SpeedButton3", "TSpeedButton", "Обновить", true, false},
    {"SpeedButton4", "TSpeedButton", "Скрыть", true, true},
    {"ComboBox1", "TComboBox", "COM1", true, true},
    {"restart_comm_port", "TMenuItem", "Обновить Соединения", true, true},
    {"load_box", "TMenuItem", "Загрузить", true, true},
    {"edit_ph_box", "TMenuItem", "Редактировать", true, true},
    {"N2", "TMenuItem", "Виртуальное соединение", true, true},
    {"N3", "TMenuItem", "Отладка", true, true},
    {"N5", "TMenuItem", "IP Сервера", true, true},
    {"N7", "TMenuItem", "Принятые", true, true},
    {"GroupBox1", "TGroupBox", "Номер АБОНЕНТА", true, true},
    {"cb_name_user", "TComboBox", "", true, true},
    {"CBNamber", "TComboBox", "", true, true},
    {"cb_sms", "TComboBox", "Vomar sms *", true, true},
    {"SpeedButton5", "TSpeedButton", "Вызов", true, false},
    {"SpeedButton6", "TSpeedButton", "Старт SMS", true, false},
    {"SpeedButton7", "TSpeedButton", "Завершить", true, false},
    {"phone_box", "TGroupBox", "Редактор Телефонной Книжки", false, true},
    {"name_phone", "TComboBox", "", true, true},
    {"Button1", "TButton", "Добавить", true, true},
    {"Button2", "TButton", "Удалить", true, true},
    {"Button3", "TButton", "Изменить", true, true},
    {"Button4", "TButton", "Сохранить", true, true},
    {"Button5", "TButton", "Закрыть", true, true},
    {"EditName", "TEdit", "", true, true},
    {"EditPhone", "TEdit", "", true, true},
    {"Panel1", "TPanel", none, false, true},
    {"Memo1", "TMemo", none, true, true},
    {"cb_at_cmd_", "TComboBox", "ATE0", true, true},
    {"Edit1", "TEdit", "AT+CMGD=1", true, true},
    {"Button6", "TButton", "Send", true, true},
    {"Button7", "TButton", "Clr Memo", true, true},
    {"Button8", "TButton", "Dlete All Sms", true, true},
    {"Button9", "TButton", "Close", true, true},
    {"Image1", "TImage", none, true, true},
    {"FulSms", "TEdit", "", true, true},
    {"prog_dial", "TProgressBar", none, true, true},
    {"str_grid", "TStringGrid", none, false, true},
    {"Timer1", "TTimer", none, true, false},
};

TEST_F(FormMsgTest, FormBuildsEveryControlHiddenWindowAndPresetTexts) {
  EXPECT_EQ(form->Caption, "FormMsg");
  EXPECT_EQ(form->Width, 617);
  EXPECT_EQ(form->Height, 435);
  EXPECT_FALSE(form->Visible);
  for (const ExpectedControl& c : kControls) {
    SCOPED_TRACE(c.name);
    TComponent& any = vcl::headless::FindAny(form, c.name);
    EXPECT_EQ(any.ClassName(), c.class_name);
    if (auto* item = dynamic_cast<TMenuItem*>(&any)) {
      EXPECT_EQ(item->Caption, *c.caption);
      EXPECT_EQ(item->Visible, c.visible);
      EXPECT_EQ(item->Enabled, c.enabled);
    } else if (auto* timer = dynamic_cast<TTimer*>(&any)) {
      EXPECT_EQ(timer->Enabled, c.enabled);
    } else {
      auto* control = dynamic_cast<TControl*>(&any);
      ASSERT_NE(control, nullptr);
      if (c.caption) {
        bool texted = dynamic_cast<TCustomEdit*>(control) || dynamic_cast<TComboBox*>(control);
        EXPECT_EQ(texted ? control->Text() : control->Caption(), *c.caption);
      }
      EXPECT_EQ(control->Visible, c.visible);
      EXPECT_EQ(control->Enabled, c.enabled);
    }
  }
  EXPECT_TRUE(form->name_phone->Sorted);
  EXPECT_EQ(form->cb_name_user->CharCase, ecUpperCase);
  EXPECT_EQ(form->ComboBox1->Style, csDropDownList);
  EXPECT_EQ(form->EditPhone->MaxLength, 11);
  EXPECT_EQ(form->str_grid->ColCount, 8);
  const int widths[] = {35, 58, 104, 104, 134, 103, 110, 97};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(form->str_grid->ColWidths[i], widths[i]) << i;
  EXPECT_EQ(form->PopupMenu1->Items->Count, 7);
  EXPECT_EQ(form->PopupMenu2->Items->Count, 2);
  EXPECT_EQ(form->Pbar1->Max, 100);

  std::vector<AnsiString> sms = ItemsOf(form->cb_sms);
  ASSERT_EQ(sms.size(), 9u);
  EXPECT_EQ(sms[0], "Vomar sms *");
  // The server address follows "ipset " directly and "*" follows it with no blank.
  EXPECT_TRUE(std::regex_match(sms[3].str(), std::regex(R"(Vomar ipset (\d{1,3}\.){3}\d{1,3}\*)")))
      << sms[3].str();
  EXPECT_EQ(sms[7], "Vomar apn 0 *");
  EXPECT_EQ(sms[8], "");
  std::vector<AnsiString> at = ItemsOf(form->cb_at_cmd_);
  ASSERT_EQ(at.size(), 15u);
  EXPECT_TRUE(std::regex_match(at[2].str(), std::regex(R"(ATD "\+?\d{7,15}";)"))) << at[2].str();
  EXPECT_EQ(at[14], "ATD *99***1#");
}

TEST_F(FormMsgTest, CreationListsPortsAndEmptiesTheLabels) {
  EXPECT_EQ(ItemsOf(form->ComboBox1), (std::vector<AnsiString>{"COM1", "COM10", "COM3"}));
  EXPECT_EQ(form->ComboBox1->ItemIndex, 0);
  for (TLabel* label : {form->Label1, form->Label2, form->Label3, form->Label4, form->Label5,
                        form->Label6, form->Label7, form->Label9, form->Label10, form->Label11,
                        form->Label12, form->Label18, form->Label19, form->Label22})
    EXPECT_EQ(label->Caption, "") << label->Name().str();
  EXPECT_EQ(form->Label21->Caption, "Label21");
  EXPECT_EQ(form->Pbar1->Position, 0);

  // "Обновить Соединения" lists the ports anew, not on top of the old list.
  platform::sim::Attach("COM2", std::make_shared<sim::TrackerDevice>());
  Click(form->restart_comm_port);
  EXPECT_EQ(ItemsOf(form->ComboBox1), (std::vector<AnsiString>{"COM1", "COM10", "COM2", "COM3"}));
  EXPECT_EQ(form->ComboBox1->Text(), "COM1");
}

TEST_F(FormMsgTest, CreationRemovesTheWindowsNotificationIcon) {
  // An icon of this window with identifier 1 is gone after the creation handler ran.
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = form->Handle;
  data.uID = 1;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  form->FormCreate(form);
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
}

TEST_F(FormMsgTest, EditLoadsTheBookSortedIntoNamesAndNumbers) {
  WriteBook("petrov 111\r\nivanov 222\r\nsidorov 333\r\n");
  Edit();
  EXPECT_TRUE(form->phone_box->Visible);
  EXPECT_EQ(ItemsOf(form->name_phone),
            (std::vector<AnsiString>{"ivanov 222", "petrov 111", "sidorov 333"}));
  EXPECT_EQ(ItemsOf(form->cb_name_user), (std::vector<AnsiString>{"ivanov", "petrov", "sidorov"}));
  EXPECT_EQ(ItemsOf(form->CBNamber), (std::vector<AnsiString>{"222", "111", "333"}));
  for (TComboBox* box : {form->name_phone, form->cb_name_user, form->CBNamber})
    EXPECT_EQ(box->ItemIndex, 0) << box->Name().str();

  // The second use hides the editor and reads the file again.
  WriteBook("ivanov 222 extra\nkuznetsov\t444\n");
  Edit();
  EXPECT_FALSE(form->phone_box->Visible);
  EXPECT_EQ(ItemsOf(form->cb_name_user), (std::vector<AnsiString>{"ivanov", "kuznetsov"}));
  EXPECT_EQ(ItemsOf(form->CBNamber), (std::vector<AnsiString>{"222", "444"}));
  Edit();
  EXPECT_TRUE(form->phone_box->Visible);
}

TEST_F(FormMsgTest, EveryLineKeepsItsEntryDuplicatesAndEmptyLinesIncluded) {
  WriteBook("petrov 111\r\nivanov 222\r\npetrov 111\r\n\r\nIvanov 222\r\nsolo\r\n\r\n");
  Edit();
  EXPECT_EQ(form->name_phone->Items->Count, 7);
  EXPECT_EQ(ItemsOf(form->cb_name_user),
            (std::vector<AnsiString>{"", "", "Ivanov", "ivanov", "petrov", "petrov", "solo"}));
  EXPECT_EQ(ItemsOf(form->CBNamber),
            (std::vector<AnsiString>{"", "", "222", "222", "111", "111", ""}));
}

TEST_F(FormMsgTest, MissingBookIsCreatedEmpty) {
  ASSERT_FALSE(BookExists());
  Edit();
  ASSERT_TRUE(BookExists());
  EXPECT_EQ(std::filesystem::file_size(dir() + "/phone.txt"), 0u);
  EXPECT_EQ(form->cb_name_user->Items->Count, 0);
  EXPECT_EQ(form->CBNamber->Items->Count, 0);
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(FormMsgTest, BookThatCannotBeReadIsWrittenFromTheList) {
  WriteBook("ivanov 222\r\n");
  Edit();
  // The file turns into a folder: loading fails, and the list cannot replace it either.
  std::filesystem::remove(dir() + "/phone.txt");
  std::filesystem::create_directory(dir() + "/phone.txt");
  Edit();
  ASSERT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_EQ(ItemsOf(form->cb_name_user), std::vector<AnsiString>{"ivanov"});

  // A working folder that does not exist: the same error, the boxes unchanged.
  work_folder = AnsiString(dir() + "/missing/");
  Edit();
  EXPECT_EQ(responder().Texts(ModalKind::Exception).size(), 2u);
  EXPECT_EQ(ItemsOf(form->CBNamber), std::vector<AnsiString>{"222"});
  EXPECT_FALSE(std::filesystem::exists(dir() + "/missing"));
  // Each failure names the file the user has to see to.
  for (const AnsiString& text : responder().Texts(ModalKind::Exception))
    EXPECT_GT(text.Pos("phone.txt"), 0) << text.str();
}

// A book the user may not read (mode 000) is reported and left as it is, and so are the boxes.
// Mode bits do not stop root: as root the handler runs with the effective user "nobody", who may
// write the folder (so that nothing but the fix keeps the book from being replaced).
TEST_F(FormMsgTest, BookThatMayNotBeReadIsReportedAndLeftAsItIs) {
  const std::string book =
      "petrov 111\r\nivanov 222\r\nsidorov 333\r\nkuznetsov 444\r\nsmirnov 555\r\n";
  WriteBook("ivanov 222\r\n");
  Edit();
  WriteBook(book);
  const std::string path = dir() + "/phone.txt";
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  ASSERT_EQ(chmod(dir().c_str(), 0777), 0);
  const bool root = geteuid() == 0;
  if (root && seteuid(65534) != 0) GTEST_SKIP() << "root without the right to be nobody";
  Edit();
  if (root) {
    ASSERT_EQ(seteuid(0), 0);
  }
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Не удалось прочитать телефонную книжку " + work_folder +
                                    "phone.txt.\nФайл не изменен."});
  EXPECT_TRUE(responder().Texts(ModalKind::Exception).empty());
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  EXPECT_EQ(test_support::FileBytes(path), book);
  EXPECT_EQ(ItemsOf(form->cb_name_user), std::vector<AnsiString>{"ivanov"});
  EXPECT_EQ(ItemsOf(form->CBNamber), std::vector<AnsiString>{"222"});
}

TEST_F(FormMsgTest, LoadRebuildsTheBoxesFromTheListWithoutReadingTheFile) {
  WriteBook("petrov 111\r\n");
  Click(form->load_box);
  EXPECT_EQ(form->cb_name_user->Items->Count, 0);
  Edit();
  WriteBook("ivanov 222\r\n");
  form->cb_name_user->Clear();
  form->CBNamber->Clear();
  Click(form->load_box);
  EXPECT_EQ(ItemsOf(form->cb_name_user), std::vector<AnsiString>{"petrov"});
  EXPECT_EQ(ItemsOf(form->CBNamber), std::vector<AnsiString>{"111"});
}

TEST_F(FormMsgTest, BookLoadsInTheOrderThatFilingItsLinesOneByOneGives) {
  // Lines equal but for case, the same line twice, Cyrillic in both cases, empty lines: loaded at
  // once, the sorted list holds them as a sorted list that takes them one at a time does.
  const std::vector<std::string> words = {"ivanov", "Ivanov", "IVANOV", "petrov", "Иванов",
                                          "иванов", "ёлкин",  "Яшин",   "",       "b"};
  std::mt19937 random(7);
  std::string book;
  TStringList one_by_one;
  one_by_one.Sorted = true;
  one_by_one.Duplicates = dupAccept;
  for (int i = 0; i < 600; ++i) {
    std::string line = words[random() % words.size()];
    if (!line.empty()) line += " " + std::to_string(random() % 5);
    book += line + "\r\n";
    one_by_one.Add(AnsiString(line));
  }
  WriteBook(book);
  Edit();
  ASSERT_EQ(form->name_phone->Items->Count(), one_by_one.Count());
  for (int i = 0; i < one_by_one.Count; ++i)
    ASSERT_EQ(form->name_phone->Items->Strings[i], one_by_one.Strings[i]) << "line " << i;
  EXPECT_EQ(form->CBNamber->Items->Count(), 600);
}

TEST_F(FormMsgTest, MainWindowsHiddenButtonShowsTheWindow) {
  ASSERT_FALSE(ML_Form->SpeedButton1->Visible);
  vcl::headless::ForceClick(ML_Form->SpeedButton1);
  EXPECT_TRUE(form->Visible);
}

// The program's entry gives the modem window the main window's working folder as it is at each
// use of the phone book.
TEST_F(TrakmonTest, ProgramGivesTheModemWindowTheMainWindowsWorkingFolder) {
  std::vector<AnsiString> names;
  vcl::headless::Current().RunInLoop([&] {
    for (const char* sub : {"first", "second"}) {
      const std::string folder = dir() + "/" + sub;
      std::filesystem::create_directory(folder);
      std::ofstream(folder + "/phone.txt", std::ios::binary) << sub << " 111\r\n";
      ML_Form->WorkFolder = AnsiString(folder + "/");
      vcl::headless::ForceClick(FormMsg->edit_ph_box);
      names.push_back(FormMsg->cb_name_user->Items->Strings[0]);
    }
    vcl::headless::Close(ML_Form);
  });
  EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
  FormMsg = nullptr;
  EXPECT_EQ(names, (std::vector<AnsiString>{"first", "second"}));
}

}  // namespace
