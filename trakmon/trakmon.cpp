// Trakmon's entry: the application, the main window, the modem window created hidden (its phone
// book in the main window's working folder), the message loop. The global serial port already
// exists: the main window's unit creates it at start-up, before this runs.
#include "read_dev/ml_form.h"
#include "sms_modul/sms_modul.h"
#include "vcl/winmain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Application->Initialize();
    Application->CreateForm<TML_Form>(&ML_Form);
    Application->CreateForm<TFormMsg>(&FormMsg);
    FormMsg->WorkFolder = [] { return ML_Form->WorkFolder; };
    Application->Run();
  } catch (Exception& exception) {
    Application->ShowException(&exception);
  } catch (...) {
    try {
      throw Exception("");
    } catch (Exception& exception) {
      Application->ShowException(&exception);
    }
  }
  return 0;
}
