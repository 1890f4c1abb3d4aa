// Trakmon's own start-up (its WinMain, main window and modem window) on the Qt widget set,
// driven the way a user drives it: connect, show the RS-485 box, read the level and the
// temperature, type a calibration table into the grid, write it, read it back, disconnect; the
// modem window is shown with the phone book loaded. Both windows are saved as pictures.
// sensor_session.sh runs it under Xvfb against the simulator tool on a pseudo-terminal.
//   trakmon_sensor_session <picture folder>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <string>

#include "comm_port/comm_port.h"
#include "platform/cp1251.h"
#include "read_dev/ml_form.h"
#include "sms_modul/sms_modul.h"
#include "vcl/qt_widgetset.h"
#include "vcl/winmain.h"

namespace {

int failures = 0;

// Codes of the typed table, none with a byte that a table reply cannot carry intact ("#" is
// removed by the reader, "$" ends the reply).
int CleanCode(int code) {
  auto clean = [](int byte) { return byte != '#' && byte != '$'; };
  while (!clean(code & 0xFF) || !clean(code >> 8 & 0xFF)) ++code;
  return code;
}
int InputCode(int row) {
  return CleanCode(100 + 37 * row);
}
int OutputCode(int row) {
  return CleanCode(row * row);
}

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  if (!ok) ++failures;
}

std::string Utf8(const AnsiString& text) {
  return platform::Cp1251ToUtf8(text.str());
}

class Session {
 public:
  Session(vcl::qt::QtWidgetSet& ws, QString pictures) : ws_(ws), pictures_(std::move(pictures)) {}

  void Run() {
    TML_Form* form = ML_Form;
    if (!Check(QTest::qWaitForWindowExposed(ws_.WidgetOf(form)->window(), 10000),
               "main window on screen"))
      return Finish();

    if (form->SBOpenComPort->OnClick) {
      Press(form->SBOpenComPort);
    } else {
      std::printf("the connect button has no handler here: the port is opened directly\n");
      CommPort->Open(form->PortIndex, 2048, 2048);
      CommPort->SetBaudRate(form->BaudRate);
    }
    if (!Wait([] { return CommPort->IsOpen(); }, "port open")) return Finish();

    Press(form->SpeedButton12);
    Wait([&] { return form->RS485->Visible(); }, "RS-485 box shown");
    Press(form->SpeedButton14);
    Wait([&] { return form->Edit8->Text() == "1024"; }, "filtered level 1024");
    Check(form->Edit11->Text() == "1024", "level in the input code edit");
    Press(form->SpeedButton16);
    Wait([&] { return form->Edit10->Text() == "22"; }, "temperature 22");

    // A table typed into the grid, written, the grid zeroed, and the table read back.
    for (int row = 1; row <= 30; ++row) {
      vcl::input::EditCell(form->StringGrid1, 1, row, IntToStr(InputCode(row)));
      vcl::input::EditCell(form->StringGrid1, 2, row, IntToStr(OutputCode(row)));
    }
    Press(form->SpeedButton23);
    Press(form->SpeedButton12);
    Check(form->StringGrid1->Cells[1][5] == "0", "grid zeroed");
    Press(form->SpeedButton22);
    Wait([&] { return form->StringGrid1->Cells[0][30] == "EXT"; }, "table read");
    bool same = true;
    for (int row = 1; row <= 29; ++row)
      same = same && form->StringGrid1->Cells[1][row] == IntToStr(InputCode(row)) &&
             form->StringGrid1->Cells[2][row] == IntToStr(OutputCode(row));
    Check(same, "table read back as written");
    Save(form, "Trakmon_calibration.png");

    // The modem window, with the phone book loaded into its editor.
    form->SpeedButton1->Click();
    QWidget* modem = ws_.WidgetOf(FormMsg);
    Check(FormMsg->Visible && modem && QTest::qWaitFor([&] { return modem->isVisible(); }, 10000),
          "modem window shown");
    vcl::input::Click(FormMsg->edit_ph_box);
    Check(FormMsg->cb_name_user->Items->Count == 3, "three names from phone.txt");
    Check(Utf8(FormMsg->CBNamber->Text()) == "222", "first number by the sorted lines");
    Save(FormMsg, "Trakmon_modem.png");

    if (form->SBCloseComPort->OnClick) {
      Press(form->SBCloseComPort);
      Wait([] { return !CommPort->IsOpen(); }, "port closed");
    }
    Finish();
  }

 private:
  // A left click on the control's own widget, as the mouse gives it.
  void Press(TControl* control) {
    QWidget* widget = ws_.WidgetOf(control);
    if (!Check(widget && widget->isVisible() && widget->isEnabled(),
               "can press " + Utf8(control->Name)))
      return;
    QTest::mouseClick(widget, Qt::LeftButton);
    QApplication::processEvents();
  }
  bool Wait(const std::function<bool()>& done, const std::string& what) {
    return Check(QTest::qWaitFor(done, 15000), what);
  }
  void Save(TCustomForm* form, const char* name) {
    QApplication::processEvents();
    QTest::qWait(300);
    QString file = pictures_ + "/" + name;
    Check(ws_.SaveScreenshot(form, file), "picture " + file.toStdString());
  }
  void Finish() {
    if (CommPort->IsOpen()) CommPort->Close();
    if (FormMsg) FormMsg->Hide();
    ML_Form->Close();
  }
  bool Check(bool ok, const std::string& what) {
    ::Check(ok, what);
    return ok;
  }

  vcl::qt::QtWidgetSet& ws_;
  QString pictures_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: trakmon_sensor_session <picture folder>\n");
    return 2;
  }
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setQuitOnLastWindowClosed(false);
  {
    vcl::qt::QtWidgetSet ws;
    vcl::SetWidgetSet(&ws);
    Session session(ws, QString::fromLocal8Bit(argv[1]));
    QTimer::singleShot(0, [&] { session.Run(); });
    char command_line[] = "";
    WinMain(nullptr, nullptr, command_line, 1);
    vcl::ResetApplication();
    vcl::SetWidgetSet(nullptr);
  }
  return failures == 0 ? 0 : 1;
}
