// Intel HEX text of a firmware image, as a compiler's tools write it: data records of up to 16
// bytes at ascending 16-bit addresses with their checksums, then the end record. For the tests,
// the benchmark and the demo's sample firmware.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace sim {

// Lines end with CR LF. The data starts at `base`; what would lie at or above 64 KB does not
// fit 16-bit addresses: it is cut.
std::string MakeIntelHex(std::span<const std::uint8_t> data, int per_record = 16, int base = 0);

}  // namespace sim
