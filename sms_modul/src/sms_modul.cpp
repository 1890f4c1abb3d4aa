#include "sms_modul/sms_modul.h"

TFormMsg* FormMsg = nullptr;

TFormMsg::TFormMsg(TComponent* Owner) : TForm(Owner) {}
