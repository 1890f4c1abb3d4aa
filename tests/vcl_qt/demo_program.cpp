// The demonstration form as a program: vcl_qt's main() runs this WinMain. After the loop it
// prints what the form's handlers did, one entry a line.
#include <cstdio>

#include "demo_form.h"
#include "platform/cp1251.h"
#include "vcl/winmain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Application->Initialize();
    Application->CreateForm<TDemoForm>(&DemoForm);
    Application->Run();
  } catch (Exception& e) {
    Application->ShowException(&e);
    return 1;
  }
  if (DemoForm)
    for (const AnsiString& entry : DemoForm->Log)
      std::printf("%s\n", platform::Cp1251ToUtf8(entry.str()).c_str());
  return 0;
}
