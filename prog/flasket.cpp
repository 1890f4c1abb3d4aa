// Flasket's entry: the serial port, the application, the loader window, the message loop.
#include "prog/form_prog.h"
#include "vcl/winmain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CreateSerialPort();
  try {
    Application->Initialize();
    Application->CreateForm<TFormProg>(&FormProg);
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
  DestroySerialPort();
  return 0;
}
