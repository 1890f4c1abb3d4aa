// Fuzzes the form-description reader: any text either parses and builds a form or raises
// EReadError (or another class-library exception for a value a control refuses); nothing
// crashes, leaks or hangs.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "vcl/form_reader.h"
#include "vcl/forms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    vcl::dfm::Parse(text, "fuzz.dfm");
  } catch (const Exception&) {
    return 0;
  }
  // It parses: build it into a form (no widget set is installed, so nothing is shown).
  auto* form = new TForm(nullptr);
  try {
    form->ReadDescription(text, "fuzz.dfm");
    form->CheckBindings();
  } catch (const Exception&) {
  }
  delete form;
  return 0;
}
