// The main window on the tracker simulator, for the tests of the settings panels.
#pragma once

#include <string>
#include <vector>

#include "trakmon_fixture.h"
#include "vcl/headless.h"

namespace panels_test {

namespace hl = vcl::headless;
using hl::ModalKind;

class PanelsTest : public TrakmonTest {
 protected:
  void SetUp() override { form = CreateMainForm(); }

  // The bytes the tracker received at its own rate, as text.
  std::string Wire() const {
    const std::vector<std::uint8_t> bytes = tracker->ReceivedBytes();
    return std::string(bytes.begin(), bytes.end());
  }
  // The texts of the message boxes shown so far.
  std::vector<AnsiString> Messages() { return responder().Texts(ModalKind::Message); }

  TML_Form* form = nullptr;
};

}  // namespace panels_test
