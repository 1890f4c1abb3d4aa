// The main window: its controls as the form description builds them, the INI settings read at
// creation and written at close, the working-folder panel, the text viewer and the scheme that
// shows one device panel at a time.
#include <cctype>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "trakmon_fixture.h"

using vcl::headless::Click;
using vcl::headless::Find;
using vcl::headless::FindAny;
using vcl::headless::ModalKind;

namespace {

struct ExpectedControl {
  const char* name;
  const char* class_name;
  std::optional<std::string> caption;  // Caption or Text
  std::optional<std::string> hint;
  bool visible;
};

AnsiString CaptionOf(TComponent* c) {
  if (auto* item = dynamic_cast<TMenuItem*>(c)) return item->Caption;
  return dynamic_cast<TControl*>(c)->Caption;
}
bool VisibleOf(TComponent* c) {
  if (auto* item = dynamic_cast<TMenuItem*>(c)) return item->Visible;
  return dynamic_cast<TControl*>(c)->Visible;
}

constexpr auto none = std::nullopt;

// Every control that the window's handlers name, with the kind, caption or text, hint and
// visibility of the form description (before FormCreate changes any of them).
const std::vector<ExpectedControl> kControls = {
    // Tool bar and menu.
    {"SBOpenComPort", "TSpeedButton", none, "Открыть COM порт...", true},
    {"SBCloseComPort", "TSpeedButton", none, "Закрыть COM порт...", true},
    {"sb_jmp_boot", "TSpeedButton", none, "Jmp Boot Loader", true},
    {"SBAllExit", "TSpeedButton", none, "Выход...", true},
    {"SpeedButton1", "TSpeedButton", none, none, false},
    {"Catalog", "TMenuItem", "Рабочий каталог", none, true},
    {"Open1", "TMenuItem", "Открыть текстовый файл", none, true},
    {"deb_panel", "TMenuItem", "Отладка", none, true},
    {"Exit1", "TMenuItem", "Выход", none, true},
    {"Setup1", "TMenuItem", "Установки  COM порта", none, true},
    {"auto_namber", "TMenuItem", "Рег.Номер машины", none, false},
    {"mill_setup", "TMenuItem", "Заводские установки", none, true},
    {"N1", "TMenuItem", "Форматировать память", none, true},
    {"StatusBar1", "TStatusBar", none, none, false},
    // "Установки прибора".
    {"GroupBox2", "TGroupBox", "Установки прибора", none, true},
    {"SBMode", "TSpeedButton", "Состояние прибора", none, true},
    {"sb_user_phone", "TSpeedButton", "Тел. Пользователей", none, true},
    {"sb_apn_panel_on", "TSpeedButton", "\"APN\"  \"Port\"  \"IP\" ", none, true},
    {"SpeedButton10", "TSpeedButton", "ID Прибора", none, true},
    {"SpeedButton21", "TSpeedButton", "Дополнительно", none, true},
    {"SpeedButton12", "TSpeedButton", "Интерфейс RS-485", none, true},
    {"SBCHErase", "TSpeedButton", "Обнулить Память", none, true},
    {"Image1", "TImage", none, none, true},
    {"SBBeppON", "TSpeedButton", "Звук ВКЛ", none, false},
    {"SBBeepOFF", "TSpeedButton", "Звук ВЫКЛ", none, false},
    {"tbar_interval", "TTrackBar", none, "Интервал записи в память прибора ", false},
    {"Edit4", "TEdit", "5", none, false},
    {"Label12", "TLabel", "Интервал записи ", none, false},
    {"Label24", "TLabel", "(S)", none, false},
    {"SBTemp", "TSpeedButton", "Запись", none, false},
    {"SpeedButton9", "TSpeedButton", "SMS", none, false},
    // State box.
    {"GBMode", "TGroupBox", "Состояние прибора", none, false},
    {"Label21", "TLabel", none, none, false},
    {"Label13", "TLabel", "Label13", none, true},
    {"Label43", "TLabel", "Label43", none, true},
    {"Label16", "TLabel", none, none, true},
    {"Label17", "TLabel", none, none, true},
    {"Label18", "TLabel", none, none, true},
    {"Label20", "TLabel", none, none, true},
    {"Label22", "TLabel", none, none, true},
    {"Label23", "TLabel", none, none, true},
    // User phones.
    {"user_phone", "TGroupBox", "Телефоны Пользователей", none, false},
    {"Label29", "TLabel", "Пароль пользователя", none, true},
    {"edit_pass", "TEdit", "Vomar", "Пароль пользователя", true},
    {"sb_pass", "TSpeedButton", "Да", none, true},
    {"sb_read_pass", "TSpeedButton", "Чтение", none, true},
    {"Label27", "TLabel", "Кол-во. Польз.", none, true},
    {"max_users_spin", "TCSpinEdit", none, "Количество диспетчерских мест", true},
    {"sb_max_users", "TSpeedButton", "Да", none, true},
    {"Label14", "TLabel", "Пользователь №", none, true},
    {"user_spin", "TCSpinEdit", none, "Номер программируемого пользователя", true},
    {"Label28", "TLabel", "Номер телефона", none, true},
    {"done_edit_phone", "TEdit", "", "Наберите номер телефона запросчика", true},
    {"sb_done_edit_phone", "TSpeedButton", "Да", none, true},
    {"EditReadUser", "TEdit", "", "Записанное значение", true},
    {"SBReadPH", "TSpeedButton", "Чтение", none, true},
    {"EditPhone", "TEdit", "", "Записываемое значение", true},
    {"SBWritePH", "TSpeedButton", "Запись", none, true},
    // APN and server.
    {"apn_panel", "TGroupBox", "APN  (Параметры связи)", none, false},
    {"GroupBox3", "TGroupBox", "Стандартные", none, true},
    {"edit_apn", "TEdit", "", none, true},
    {"apn_box", "TComboBox", "", none, true},
    {"sb_read_apn", "TSpeedButton", "Чтение", none, true},
    {"sb_write_apn", "TSpeedButton", "Запись", none, true},
    {"GroupBox4", "TGroupBox", "Индивидуальные пользователя", none, true},
    {"Label37", "TLabel", "APN (Оператор  связи)", none, true},
    {"Label40", "TLabel", "Имя пользователя", none, true},
    {"Label41", "TLabel", "Пароль пользователя", none, true},
    {"edit_user_apn", "TEdit", none, none, true},
    {"edit_user_login", "TEdit", "norvale", none, true},
    {"edit_user_pass", "TEdit", "norvale", none, true},
    {"sb_read_apn_user", "TSpeedButton", "Чтение", none, true},
    {"sb_write_apn_user", "TSpeedButton", "Запись", none, true},
    {"sb_apn_sms", "TSpeedButton", "SMS", none, false},
    {"Label42", "TLabel", "Port (Порт сервера)", none, true},
    {"edit_read_portip", "TEdit", "", none, true},
    {"edit_write_portip", "TComboBox", "2020", none, true},
    {"read_portip", "TSpeedButton", "Чтение", none, true},
    {"write_portip", "TSpeedButton", "Запись", none, true},
    {"sb_auto_port_sms", "TSpeedButton", "SMS", none, false},
    {"Label38", "TLabel", "IP  ( Адрес Сервера)", none, true},
    {"edit_ip", "TEdit", "", "IP адрес в памяти прибора", true},
    {"ip_box", "TComboBox", "", "IP адрес диспетчерского компьютера", true},
    {"sb_read_ip", "TSpeedButton", "Чтение", none, true},
    {"sb_write_ip", "TSpeedButton", "Запись", none, true},
    {"sb_setsms_ip", "TSpeedButton", "SMS", none, false},
    // Vehicle number and extra settings.
    {"SerialBox", "TGroupBox", "Номер Машины", none, false},
    {"SrEdit", "TEdit", "", none, true},
    {"OK_SERIAL", "TSpeedButton", "Запись", none, true},
    {"SerialClose", "TSpeedButton", "Закрыть", none, true},
    {"sb_auto_serial_sms", "TSpeedButton", "SMS", none, false},
    {"Ext", "TGroupBox", "Ext", none, false},
    {"SpeedButton25", "TSpeedButton", "Стоянка по GPS", none, true},
    {"SpeedButton26", "TSpeedButton", "Стоянка по IGN", none, true},
    {"SpeedButton27", "TSpeedButton", "Коды", none, true},
    {"SpeedButton28", "TSpeedButton", "Литры", none, true},
    {"Edit14", "TEdit", "", none, true},
    {"Edit15", "TEdit", "", none, true},
    // RS-485.
    {"RS485", "TGroupBox", "RS485", none, false},
    {"Label33", "TLabel", "Программирование ДУТ", none, true},
    {"SpeedButton11", "TSpeedButton", "Чтение адреса датчика", none, true},
    {"read_addr", "TEdit", "", none, true},
    {"SpeedButton13", "TSpeedButton", "Запись адреса датчика", none, true},
    {"Edit7", "TEdit", "", none, true},
    {"SpeedButton14", "TSpeedButton", "Чтение фильтрованных данных", none, true},
    {"Edit8", "TEdit", "", none, true},
    {"SpeedButton15", "TSpeedButton", "Чтение не фильтрованных данных", none, true},
    {"Edit9", "TEdit", "", none, true},
    {"SpeedButton16", "TSpeedButton", "Чтение температуры датчика", none, true},
    {"Edit10", "TEdit", "", none, true},
    {"Label34", "TLabel", "Номер отсчета", none, true},
    {"CSpinEdit1", "TCSpinEdit", none, none, true},
    {"Label44", "TLabel", "Входной код", none, true},
    {"Edit11", "TEdit", "", none, true},
    {"Label45", "TLabel", "Выходной код", none, true},
    {"Edit12", "TEdit", "", none, true},
    {"SpeedButton17", "TSpeedButton", "Считать", none, true},
    {"SpeedButton20", "TSpeedButton", "Да", none, true},
    {"SpeedButton18", "TSpeedButton", "Записать", none, true},
    {"SpeedButton19", "TSpeedButton", "Прочитать", none, true},
    {"Edit13", "TEdit", "", none, true},
    {"Label46", "TLabel", "Таблица", none, true},
    {"SpeedButton22", "TSpeedButton", "Прочитать", none, true},
    {"SpeedButton23", "TSpeedButton", "Записать", none, true},
    {"SpeedButton24", "TSpeedButton", "Записать 0", none, true},
    {"StringGrid1", "TStringGrid", none, none, true},
    // Download panel.
    {"Panel4", "TPanel", none, none, false},
    {"sb_bt_load", "TSpeedButton", none, none, false},
    {"AutuRead", "TSpeedButton", none, "Чтение данных из прибора и запись в файл...", true},
    {"ExitForm", "TSpeedButton", none, "Сохранение данных  в диалоговом режиме ...", true},
    {"ZipOn", "TCheckBox", "Zip On", none, false},
    {"GroupBox1", "TGroupBox", "Преобразование Форматов", none, true},
    {"SBConversion", "TSpeedButton", "Выбор Файла", none, true},
    {"PBar2", "TProgressBar", none, none, true},
    {"Label30", "TLabel", none, none, true},
    {"gb_read_data", "TGroupBox", "Чтение данных из прибора", none, true},
    {"SBReadAndSave", "TSpeedButton", "ЧТЕНИЕ", none, true},
    {"PBar1", "TProgressBar", none, none, true},
    {"Label25", "TLabel", none, none, true},
    {"Label19", "TLabel", "Время чтения (S) =0", none, true},
    {"Label4", "TLabel", "Старт Адрес", none, true},
    {"Label5", "TLabel", "Стоп Адрес", none, true},
    // Debug panel.
    {"PDebug", "TGroupBox", "Debug Panel", none, false},
    {"Label3", "TLabel", "Device Read Write Test", none, true},
    {"SBCHRead", "TSpeedButton", "CH Read", none, true},
    {"SBCHWrite", "TSpeedButton", "CH Write", none, true},
    {"Edit1", "TEdit", "0000", none, true},
    {"Label7", "TLabel", "Start Adr R/ W", none, true},
    {"Edit2", "TEdit", "00FF", none, true},
    {"Label8", "TLabel", "End Adr  R/ W", none, true},
    {"Edit3", "TEdit", "FF", none, true},
    {"Label9", "TLabel", "Write Data", none, true},
    {"Label2", "TLabel", none, none, true},
    {"SBReadAdr", "TSpeedButton", "Read ADR", none, true},
    {"SBRead_D3", "TSpeedButton", "Read D3", none, true},
    {"Label6", "TLabel", none, none, true},
    {"SpeedButton7", "TSpeedButton", "RTS_ON", none, true},
    {"SpeedButton8", "TSpeedButton", "RTS_OFF", none, true},
    {"SpeedButton2", "TSpeedButton", "DTR_ON", none, true},
    {"SpeedButton3", "TSpeedButton", "DTR_OFF", none, true},
    {"SBCloseDeb", "TSpeedButton", "Close", none, true},
    {"SBSetup", "TSpeedButton", "Start Setup", none, true},
    {"sb_full_erase", "TSpeedButton", "FullErase", none, true},
    {"SpeedButton4", "TSpeedButton", none, none, false},
    {"SBWriteON", "TSpeedButton", "Write ON", none, true},
    {"SBWriteOFF", "TSpeedButton", "Write OFF", none, true},
    {"SpeedButton5", "TSpeedButton", "Stop 0x55", none, true},
    {"SpeedButton6", "TSpeedButton", "Out 0x55", none, true},
    {"SBVer_Nam_", "TSpeedButton", "Ver Nam", none, true},
    {"SBLimit_Velos_", "TSpeedButton", "Limit Veloc.", none, true},
    {"sb_read4000", "TSpeedButton", "Read4000", none, true},
    {"SBResetDevice", "TSpeedButton", "Сброс Прибора", none, true},
    {"sb_net_auto", "TSpeedButton", "sb_net_auto", none, true},
    {"sb_map_auto", "TSpeedButton", "sb_map_auto", none, true},
    {"SerialBT", "TSpeedButton", "Serial", none, true},
    {"Edit6", "TEdit", "10", none, true},
    {"Label10", "TLabel", "Device Enable Write Message", none, true},
    {"Label11", "TLabel", "Result Test.", none, true},
    {"Label15", "TLabel", "Format Out Scrin", none, true},
    {"Label26", "TLabel", "Test 0x55 OUT", none, true},
    {"Label31", "TLabel", "Ver=", none, true},
    {"Label32", "TLabel", "(km/h)", none, true},
    {"Label39", "TLabel", "Label39", none, true},
    // Working folder, port settings, countdown.
    {"GBCatalog", "TGroupBox", "Рабочий каталог", none, false},
    {"Edit5", "TEdit", "", none, true},
    {"SBCtalog", "TSpeedButton", "...", none, true},
    {"ExitCatalog", "TSpeedButton", "Выход", none, true},
    {"Panel1", "TPanel", none, none, false},
    {"Label1", "TLabel", "Установки", none, true},
    {"NmeaComRG", "TRadioGroup", "Comm порт", none, true},
    {"NmeaBR", "TRadioGroup", "Скорость", none, true},
    {"DoneNmea", "TButton", "Запись", none, true},
    {"Panel3", "TPanel", none, none, false},
    {"Label35", "TLabel", "Обнуление   памяти прибора", none, true},
    {"Label36", "TLabel", "Label36", none, true},
    {"pb_mem", "TProgressBar", none, none, true},
};

class MainWindowTest : public TrakmonTest {};

// A CorTime that is no time stops FormCreate before it touches any control, so the window shows
// its form description as it is.
TEST_F(MainWindowTest, EveryNamedControlHasTheKindCaptionHintAndVisibilityOfItsDescription) {
  WriteIni("[Time]\r\nCorTime=no time\r\n");
  TML_Form* form = CreateMainForm();
  ASSERT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_EQ(form->Caption(), "Настройка параметров прибора");
  EXPECT_EQ(form->BorderStyle(), bsSingle);
  EXPECT_EQ(form->Position(), poDesktopCenter);
  for (const ExpectedControl& want : kControls) {
    SCOPED_TRACE(want.name);
    TComponent* c = &FindAny(form, want.name);
    EXPECT_EQ(c->ClassName(), want.class_name);
    if (want.caption) {
      EXPECT_EQ(CaptionOf(c), AnsiString(*want.caption));
    }
    if (want.hint) {
      EXPECT_EQ(dynamic_cast<TControl*>(c)->Hint(), AnsiString(*want.hint));
    }
    EXPECT_EQ(VisibleOf(c), want.visible);
  }
}

TEST_F(MainWindowTest, DescriptionSetsFontsItemsRangesAndStartStates) {
  TML_Form* form = CreateMainForm();
  for (TSpeedButton* red_bold : {form->SBCHErase, form->SBWritePH, form->SBSetup}) {
    SCOPED_TRACE(red_bold->Name().str());
    EXPECT_EQ(red_bold->Font->Color(), clRed);
    EXPECT_TRUE(red_bold->Font->Style().Contains(fsBold));
  }
  EXPECT_TRUE(form->user_phone->Font->Style().Contains(fsBold));
  for (TLabel* white : {form->Label35, form->Label36}) {
    EXPECT_EQ(white->Font->Color(), clWhite);
    EXPECT_TRUE(white->Font->Style().Contains(fsBold));
  }
  EXPECT_EQ(form->Panel3->Color(), clRed);

  EXPECT_FALSE(form->SBCloseComPort->Enabled);
  EXPECT_TRUE(form->SBOpenComPort->Enabled);
  EXPECT_FALSE(form->SBWritePH->Enabled);
  EXPECT_FALSE(form->Edit4->Enabled);

  ASSERT_EQ(form->NmeaComRG->Items->Count, 8);
  EXPECT_EQ(form->NmeaComRG->Items->Strings[0], "Comm1");
  EXPECT_EQ(form->NmeaComRG->Items->Strings[7], "Comm8");
  const char* rates[] = {"38400", "9600", "115200", "230400", "460800", "921600", "19200"};
  ASSERT_EQ(form->NmeaBR->Items->Count, 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(form->NmeaBR->Items->Strings[i], rates[i]);
  EXPECT_EQ(form->apn_box->Items->Count, 6);
  EXPECT_EQ(form->apn_box->ItemIndex, -1);
  EXPECT_EQ(form->edit_write_portip->Style(), csSimple);
  EXPECT_EQ(form->ip_box->Style(), csSimple);

  EXPECT_EQ(form->tbar_interval->Min(), 5);
  EXPECT_EQ(form->tbar_interval->Max(), 100);
  EXPECT_EQ(form->tbar_interval->Position(), 5);
  EXPECT_EQ(form->tbar_interval->Frequency(), 5);
  EXPECT_EQ(form->tbar_interval->TickMarks(), tmBoth);
  for (TCSpinEdit* spin : {form->max_users_spin, form->user_spin}) {
    EXPECT_EQ(spin->MinValue(), 1);
    EXPECT_EQ(spin->MaxValue(), 3);
    EXPECT_EQ(spin->Value(), 1);
  }
  EXPECT_EQ(form->CSpinEdit1->MinValue(), 0);
  EXPECT_EQ(form->CSpinEdit1->MaxValue(), 0);
  EXPECT_EQ(form->pb_mem->Min(), 0);
  EXPECT_EQ(form->pb_mem->Max(), 30);
  EXPECT_EQ(form->StringGrid1->ColCount(), 3);
  EXPECT_EQ(form->StringGrid1->RowCount(), 31);
  EXPECT_EQ(form->StringGrid1->FixedCols(), 1);
  EXPECT_EQ(form->StringGrid1->FixedRows(), 1);
  EXPECT_TRUE(form->StringGrid1->Options().Contains(goEditing));

  EXPECT_TRUE(form->EditReadUser->ReadOnly);
  EXPECT_TRUE(form->EditPhone->ReadOnly);
  for (TEdit* lower : {form->edit_user_apn, form->edit_user_login, form->edit_user_pass})
    EXPECT_EQ(lower->CharCase(), ecLowerCase);
  for (TEdit* upper : {form->Edit1, form->Edit2, form->Edit3, form->Edit4})
    EXPECT_EQ(upper->CharCase(), ecUpperCase);
  EXPECT_TRUE(form->ZipOn->Checked);
  EXPECT_EQ(form->PDebug->DragKind(), dkDock);
  EXPECT_EQ(form->PDebug->DragMode(), dmAutomatic);

  ASSERT_EQ(form->StatusBar1->Panels->Count, 2);
  EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Width(), 300);
  EXPECT_EQ(form->StatusBar1->Panels->Items[1]->Width(), 50);
  EXPECT_TRUE(form->Image1->Stretch);
  EXPECT_GT(form->Image1->Picture->Width(), 0);
  EXPECT_EQ(form->OpenDialog1->Filter(),
            "Text Files  gps*.txt|gps_*.txt|Text Files   *_TC.txt|*_TC.txt|"
            "Text Files *_RELOAD.txt|*_RELOAD.txt");
  EXPECT_EQ(form->OpenDialog1->DefaultExt(), "*.txt");

  // The constructor's own settings.
  EXPECT_EQ(form->ReloadMarker, "/012345543210/");
  EXPECT_EQ(form->Label30->Caption(), "");
  ASSERT_NE(form->TrackList, nullptr);
  EXPECT_EQ(form->TrackList->Count, 0);
  ASSERT_NE(form->ReloadList, nullptr);
  EXPECT_EQ(form->ConvertedFlag, 0);
}

// ---- INI settings ----

TEST_F(MainWindowTest, FirstRunWithoutIniUsesDefaultsAndClosingWritesFourKeys) {
  ASSERT_FALSE(IniExists());
  TML_Form* form = CreateMainForm();
  EXPECT_EQ(form->PortIndex, 0);
  EXPECT_EQ(form->BaudRate, 921600);
  EXPECT_EQ(form->WorkFolder, "c:\\Tc\\WorkDir\\");
  EXPECT_EQ(form->SerIni, 0);
  EXPECT_EQ(form->TimeCorrectionText, "04:00:00");
  EXPECT_NEAR(form->TimeCorrection.Val, 1.0 / 6, 1e-9);
  EXPECT_EQ(form->NmeaComRG->ItemIndex, 0);
  EXPECT_EQ(form->NmeaBR->ItemIndex, 5);  // "921600"
  EXPECT_FALSE(form->deb_panel->Visible);
  EXPECT_FALSE(form->SerialBT->Visible);
  EXPECT_EQ(form->Label17->Caption(), "Свобдная память...");
  EXPECT_EQ(form->Label18->Caption(), "Интервал записи...");
  EXPECT_EQ(form->Label21->Caption(), "Звук...");
  EXPECT_EQ(form->Label23->Caption(), "Номер прибора...");
  for (TLabel* empty :
       {form->Label6, form->Label2, form->Label16, form->Label20, form->Label22, form->Label25})
    EXPECT_EQ(empty->Caption(), "") << empty->Name().str();
  EXPECT_EQ(form->Label13->Caption(), "Label13");

  vcl::headless::Close(form);
  const std::string ini = ReadIni();
  const std::vector<std::string> keys = {"COMM_PORT_NMEA=0", "BAUD_RATE_NMEA=921600",
                                         "work_dir=c:\\Tc\\WorkDir\\", "ser_ini=0"};
  std::size_t at = 0;
  for (const std::string& key : keys) {
    std::size_t found = ini.find(key, at);
    ASSERT_NE(found, std::string::npos) << key << " missing or out of order in\n" << ini;
    at = found + key.size();
  }
  EXPECT_EQ(ini.find("CorTime"), std::string::npos);
  TIniFile written{AnsiString(IniPath())};
  EXPECT_EQ(written.ReadInteger("Port", "COMM_PORT_NMEA", -1), 0);
  EXPECT_EQ(written.ReadString("Catalog", "work_dir", ""), "c:\\Tc\\WorkDir\\");
  ASSERT_EQ(platform::testing::Beeps().size(), 1u);
  EXPECT_EQ(platform::testing::Beeps()[0].frequency, 1000u);
  EXPECT_EQ(platform::testing::Beeps()[0].duration, 100u);
}

struct IniCase {
  const char* what;
  const char* ini;
  int port_index, baud_rate, port_item, baud_item;
  bool developer;
};
void PrintTo(const IniCase& c, std::ostream* os) {
  *os << c.what;
}

class IniSettingsTest : public TrakmonTest, public ::testing::WithParamInterface<IniCase> {};

TEST_P(IniSettingsTest, SelectsWhatTheRadioGroupsHoldAndKeepsTheRest) {
  const IniCase& c = GetParam();
  WriteIni(c.ini);
  TML_Form* form = CreateMainForm();
  EXPECT_EQ(form->PortIndex, c.port_index);
  EXPECT_EQ(form->BaudRate, c.baud_rate);
  EXPECT_EQ(form->NmeaComRG->ItemIndex, c.port_item);
  EXPECT_EQ(form->NmeaBR->ItemIndex, c.baud_item);
  EXPECT_EQ(form->deb_panel->Visible, c.developer);
  EXPECT_EQ(form->SerialBT->Visible, c.developer);

  vcl::headless::Close(form);
  TIniFile written{AnsiString(IniPath())};
  EXPECT_EQ(written.ReadInteger("Port", "COMM_PORT_NMEA", -1), c.port_index);
  EXPECT_EQ(written.ReadInteger("Port", "BAUD_RATE_NMEA", -1), c.baud_rate);
  EXPECT_EQ(written.ReadInteger("Ser", "ser_ini", -1), c.developer ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IniSettingsTest,
    ::testing::Values(
        IniCase{"developer switch on", "[Ser]\r\nser_ini=1\r\n", 0, 921600, 0, 5, true},
        // 57600 has no item: "38400" stays selected while the port would open at 57600.
        IniCase{"rate without an item", "[Port]\r\nBAUD_RATE_NMEA=57600\r\n", 0, 57600, 0, 0,
                false},
        // Index 12 (COM13) has no item: "Comm1" stays selected.
        IniCase{"port without an item", "[Port]\r\nCOMM_PORT_NMEA=12\r\n", 12, 921600, 0, 5, false},
        IniCase{"items in range", "[Port]\r\nCOMM_PORT_NMEA=3\r\nBAUD_RATE_NMEA=115200\r\n", 3,
                115200, 3, 2, false},
        IniCase{"numbers that are no numbers",
                "[Port]\r\nCOMM_PORT_NMEA=x\r\nBAUD_RATE_NMEA=fast\r\n[Ser]\r\nser_ini=on\r\n", 0,
                921600, 0, 5, false}),
    [](const ::testing::TestParamInfo<IniCase>& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// The default working folder is made at the first start; a folder the user chose that has gone
// is not made again (a download into it says it is missing).
TEST_F(MainWindowTest, FirstStartMakesTheDefaultWorkingFolder) {
  const std::filesystem::path work = dir() + "/drive_c/Tc/WorkDir";
  ASSERT_FALSE(std::filesystem::exists(work));
  CreateMainForm();
  EXPECT_TRUE(std::filesystem::is_directory(work));
  EXPECT_TRUE(std::filesystem::is_empty(work));
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(MainWindowTest, ChosenWorkingFolderThatHasGoneIsNotMade) {
  WriteIni("[Catalog]\r\nwork_dir=c:\\Tc\\Chosen\\\r\n");
  CreateMainForm();
  EXPECT_FALSE(std::filesystem::exists(dir() + "/drive_c/Tc"));
  EXPECT_TRUE(responder().Shown().empty());
}

// Every picture-only button that can be seen shows a picture: the tool bar and the download
// panel.
TEST_F(MainWindowTest, EveryPictureOnlyButtonThatCanBeSeenHasAGlyph) {
  TML_Form* form = CreateMainForm();
  int seen = 0;
  for (int i = 0; i < form->ComponentCount; ++i) {
    auto* button = dynamic_cast<TSpeedButton*>(form->Components[i]);
    if (!button || !button->Caption().IsEmpty() || !button->Visible) continue;
    ++seen;
    EXPECT_GT(button->Glyph->Width(), 0) << button->Name().str();
  }
  EXPECT_EQ(seen, 6);  // four on the tool bar, AutuRead and ExitForm
}

TEST_F(MainWindowTest, WorkFolderAndTimeCorrectionComeFromTheIni) {
  WriteIni("[Catalog]\r\nwork_dir=d:\\track\r\n[Time]\r\nCorTime=03:30:00\r\n");
  TML_Form* form = CreateMainForm();
  EXPECT_EQ(form->WorkFolder, "d:\\track");  // used as read, no backslash added
  EXPECT_NEAR(form->TimeCorrection.Val, 3.5 / 24, 1e-9);
}

TEST_F(MainWindowTest, CorTimeThatIsNoTimeEndsSetUpWithTheConversionError) {
  WriteIni("[Ser]\r\nser_ini=0\r\n[Port]\r\nBAUD_RATE_NMEA=115200\r\n[Time]\r\nCorTime=25:99\r\n");
  TML_Form* form = CreateMainForm();
  ASSERT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_EQ(form->BaudRate, 115200);               // read before the time
  EXPECT_EQ(form->NmeaBR->ItemIndex, 0);           // not selected
  EXPECT_TRUE(form->deb_panel->Visible);           // the description's value
  EXPECT_EQ(form->Label23->Caption(), "Label23");  // label texts not set
  EXPECT_EQ(Application->MainForm(), form);        // the window stays
}

TEST_F(MainWindowTest, ClosingWithThePortOpenClosesItAfterAPauseAndWritesTheIni) {
  TML_Form* form = CreateMainForm();
  OpenPort();
  form->Caption = "  Open COMM PORT_1  Baud Rate 115200";
  DWORD before = GetTickCount();
  vcl::headless::Close(form);
  EXPECT_GE(GetTickCount() - before, 200u);  // the pause and the closing beep
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_FALSE(tracker->connected());
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_1  Baud Rate 115200");
  EXPECT_NE(ReadIni().find("BAUD_RATE_NMEA=921600"), std::string::npos);
}

TEST_F(MainWindowTest, ClosingWithThePortClosedDoesNotPause) {
  TML_Form* form = CreateMainForm();
  DWORD before = GetTickCount();
  vcl::headless::Close(form);
  EXPECT_LT(GetTickCount() - before, 200u);  // only the closing beep
  EXPECT_TRUE(IniExists());
}

// ---- Working folder ----

struct FolderCase {
  const char* chosen;
  const char* work_folder;
};
// Backslashes would be taken apart by CTest's list of names: the case is named by its kind.
void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << (std::string(c.chosen).size() == 3 ? "root of a drive" : "folder");
}

class FolderChoiceTest : public TrakmonTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderChoiceTest, AppendsABackslashToTheChosenFolder) {
  TML_Form* form = CreateMainForm();
  Click(form->Catalog);
  EXPECT_TRUE(form->GBCatalog->Visible);
  EXPECT_EQ(form->Edit5->Text(), "c:\\Tc\\WorkDir\\");
  responder().AnswerFolderBrowser(GetParam().chosen);
  Click(form->SBCtalog);
  EXPECT_EQ(responder().Shown().back().text, "Укажите каталог файлов ");
  EXPECT_EQ(form->WorkFolder, GetParam().work_folder);
  EXPECT_EQ(form->Edit5->Text(), GetParam().work_folder);
  vcl::headless::Close(form);
  TIniFile written{AnsiString(IniPath())};
  EXPECT_EQ(written.ReadString("Catalog", "work_dir", ""), GetParam().work_folder);
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderChoiceTest,
                         ::testing::Values(FolderCase{"D:\\Data", "D:\\Data\\"},
                                           FolderCase{"D:\\", "D:\\\\"}));

TEST_F(MainWindowTest, CancelledFolderChoiceAndTypedFolderChangeNothing) {
  TML_Form* form = CreateMainForm();
  Click(form->Catalog);
  responder().CancelFolderBrowser();
  Click(form->SBCtalog);
  EXPECT_EQ(form->WorkFolder, "c:\\Tc\\WorkDir\\");
  vcl::headless::Type(form->Edit5, "d:\\elsewhere\\");
  Click(form->ExitCatalog);
  EXPECT_FALSE(form->GBCatalog->Visible);
  EXPECT_EQ(form->WorkFolder, "c:\\Tc\\WorkDir\\");
}

TEST_F(MainWindowTest, LeavingTheFolderPanelEntersTheWorkingFolder) {
  std::filesystem::create_directories(dir() + "/drive_c/Tc/WorkDir");
  TML_Form* form = CreateMainForm();
  Click(form->Catalog);
  Click(form->ExitCatalog);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir() + "/drive_c/Tc/WorkDir"));
  std::filesystem::current_path(std::filesystem::temp_directory_path());
}

TEST_F(MainWindowTest, LeavingTheFolderPanelWithAMissingFolderReportsNothing) {
  TML_Form* form = CreateMainForm();
  form->WorkFolder = "c:\\no such folder\\";
  Click(form->Catalog);
  Click(form->ExitCatalog);
  EXPECT_TRUE(responder().Shown().empty());
}

// ---- Text viewer ----

TEST_F(MainWindowTest, TextViewerOpensTheChosenFileInNotepadAndWaits) {
  platform::testing::SetProcessInterceptor(
      [](const platform::testing::ProcessRecord&) { return true; });
  TML_Form* form = CreateMainForm();
  responder().AnswerOpenDialog("c:\\Tc\\WorkDir\\gps_msg.txt");
  Click(form->Open1);
  EXPECT_EQ(responder().Shown().back().caption, form->OpenDialog1->Filter());
  EXPECT_EQ(form->CurrentFileName, "c:\\Tc\\WorkDir\\gps_msg.txt");
  auto started = platform::testing::Processes();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].command_line, "notepad.exe c:\\Tc\\WorkDir\\gps_msg.txt");
  EXPECT_TRUE(started[0].waited);
}

TEST_F(MainWindowTest, CancelledViewerIsSilentFromTheMenuAndReportedFromTheDebugButton) {
  platform::testing::SetProcessInterceptor(
      [](const platform::testing::ProcessRecord&) { return true; });
  TML_Form* form = CreateMainForm();
  responder().CancelOpenDialog();
  Click(form->Open1);
  EXPECT_TRUE(responder().Texts(ModalKind::Message).empty());
  responder().CancelOpenDialog();
  vcl::headless::ForceClick(form->SpeedButton4);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"File Not  Open"});
  EXPECT_TRUE(platform::testing::Processes().empty());
  EXPECT_EQ(form->CurrentFileName, "");
}

// ---- One device panel at a time ----

struct PanelCase {
  const char* button;
  const char* box;
};
void PrintTo(const PanelCase& c, std::ostream* os) {
  *os << c.button;
}

class DevicePanelTest : public TrakmonTest, public ::testing::WithParamInterface<PanelCase> {
 protected:
  static constexpr const char* kBoxes[] = {"GBMode",    "user_phone", "apn_panel",
                                           "SerialBox", "Ext",        "RS485"};
};

TEST_P(DevicePanelTest, ButtonShowsItsBoxAndHidesTheOtherFive) {
  TML_Form* form = CreateMainForm();
  // The state button and the panel Ext ask the device: with the port closed they would stop there.
  if (std::string(GetParam().button) == "SBMode" ||
      std::string(GetParam().button) == "SpeedButton21")
    OpenPort();
  for (const char* other : kBoxes) {
    // Start from every other box being shown, so that each hide is checked.
    for (const char* box : kBoxes) Find<TGroupBox>(form, box)->Visible = false;
    Find<TGroupBox>(form, other)->Visible = true;
    if (std::string(other) == GetParam().box) continue;
    Click(Find<TSpeedButton>(form, GetParam().button));
    for (const char* box : kBoxes)
      EXPECT_EQ(Find<TGroupBox>(form, box)->Visible(), std::string(box) == GetParam().box)
          << box << " after " << GetParam().button << " with " << other << " shown";
  }
  EXPECT_TRUE(responder().Shown().empty());  // no message
}

INSTANTIATE_TEST_SUITE_P(Buttons, DevicePanelTest,
                         ::testing::Values(PanelCase{"SBMode", "GBMode"},
                                           PanelCase{"sb_user_phone", "user_phone"},
                                           PanelCase{"sb_apn_panel_on", "apn_panel"},
                                           PanelCase{"SpeedButton10", "SerialBox"},
                                           PanelCase{"SpeedButton21", "Ext"},
                                           PanelCase{"SpeedButton12", "RS485"}));

TEST_F(MainWindowTest, VehicleNumberButtonTogglesItsBox) {
  TML_Form* form = CreateMainForm();
  Click(form->sb_user_phone);
  Click(form->SpeedButton10);
  EXPECT_TRUE(form->SerialBox->Visible);
  EXPECT_FALSE(form->user_phone->Visible);
  Click(form->SpeedButton10);
  EXPECT_FALSE(form->SerialBox->Visible);
}

TEST_F(MainWindowTest, ShownBoxComesToTheFrontOfTheArea) {
  TML_Form* form = CreateMainForm();
  auto top = [&] { return form->Panel2->Controls[form->Panel2->ControlCount - 1]; };
  Click(form->sb_user_phone);
  EXPECT_EQ(top(), form->user_phone);
  Click(form->sb_apn_panel_on);
  EXPECT_EQ(top(), form->apn_panel);
  Click(form->Catalog);
  EXPECT_EQ(top(), form->GBCatalog);
}

TEST_F(MainWindowTest, SensorButtonZeroesTheCalibrationGridValues) {
  TML_Form* form = CreateMainForm();
  form->StringGrid1->Cells[0][1] = "0";
  form->StringGrid1->Cells[1][1] = "1200";
  form->StringGrid1->Cells[2][30] = "40";
  Click(form->SpeedButton12);
  for (int row = 1; row <= 30; ++row) {
    EXPECT_EQ(form->StringGrid1->Cells[1][row](), "0");
    EXPECT_EQ(form->StringGrid1->Cells[2][row](), "0");
  }
  EXPECT_EQ(form->StringGrid1->Cells[0][1](), "0");  // labels stay as they were
  EXPECT_EQ(form->StringGrid1->Cells[1][0](), "");
}

}  // namespace
