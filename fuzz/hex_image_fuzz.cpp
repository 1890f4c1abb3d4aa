// Fuzzes the Intel HEX reader: any text either builds an image of the size its end address
// gives and lists it, or raises a class-library exception; nothing is written past the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "prog/hex_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto lines = std::make_unique<TStringList>();
  lines->Text = AnsiString(std::string(reinterpret_cast<const char*>(data), size));
  int end = -1;
  try {
    hex::list_fields(*lines, end);
  } catch (const Exception&) {
  }
  try {
    hex::refuse_extended_addresses(*lines);
    end = hex::end_address(*lines);
  } catch (const Exception&) {
    return 0;
  }
  if (end < 0) std::abort();
  std::string image = hex::blank_image(end);
  const std::size_t image_size = image.size();
  try {
    hex::copy_records(*lines, image);
  } catch (const Exception&) {
  }
  if (image.size() != image_size) std::abort();
  for (bool bytes : {false, true}) {
    hex::list_image(image, end, bytes);
    hex::list_groups(image, end, bytes);
  }
  return 0;
}
