// The main window's way to the modem console window.
#include "read_dev/ml_form.h"
#include "sms_modul/sms_modul.h"

void TML_Form::SpeedButton1Click(TObject* Sender) {
  FormMsg->Show();
}
