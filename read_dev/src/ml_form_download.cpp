// The download panel: the menu item that shows it, the read button, the one-button download
// with its day split and time-stamped files, the save question, and the conversion of a chosen
// file.
#include "read_dev/ml_form.h"

void TML_Form::track_panelClick(TObject* Sender) {
  Panel4->BringToFront();
  Panel4->Visible = !Panel4->Visible;
}
