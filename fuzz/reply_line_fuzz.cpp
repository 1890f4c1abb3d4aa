// Fuzzes the assembly of the boot loader's reply lines and their readings: any byte stream
// keeps the line within its 512 cells, and every finished line reads without a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "prog/boot_protocol.h"
#include "vcl/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  boot::ReplyLine line;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {  // a command button resets the line
      line.clear();
      continue;
    }
    const bool done = line.store(static_cast<char>(data[i]));
    if (line.pos() < 0 || line.pos() >= boot::ReplyLine::kSize) std::abort();
    if (!done) continue;
    const char* text = line.text();
    if (std::strlen(text) >= static_cast<std::size_t>(boot::ReplyLine::kSize)) std::abort();
    boot::BlockAck ack = boot::read_block_ack(text);
    if (ack.label.Length() > 19 || ack.block < -1 || (!ack.has_crc && ack.crc != 0)) std::abort();
    // A block number is read from the label, so a confirmed block is always named by it.
    if (ack.block >= 0 && StrToInt(ack.label) != ack.block) std::abort();
    std::uint32_t address = 0;
    boot::read_dump_address(text, address);
    std::uint32_t values[4];
    if (boot::read_lock_line(text, values)) {
      boot::fuses_text(values);
      boot::lock_text(values);
    }
  }
  return 0;
}
