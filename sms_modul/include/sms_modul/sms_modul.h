// Trakmon's modem console window. Created hidden at start-up; its controls come later.
#pragma once

#include "vcl/vcl.h"

class TFormMsg : public TForm {
 public:
  VCL_FORM(TFormMsg)
  explicit TFormMsg(TComponent* Owner);
};

extern TFormMsg* FormMsg;
