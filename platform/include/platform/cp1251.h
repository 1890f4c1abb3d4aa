// Conversion between the programs' 8-bit texts (code page 1251) and UTF-8, used where texts
// leave the programs: file-system paths and the GUI.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Every CP1251 byte that has no character (0x98) becomes '?'.
std::string Cp1251ToUtf8(std::string_view text);

// The length of the well-formed UTF-8 sequence that `text` starts with; 1 for a byte that starts
// none (0 for an empty text).
std::size_t Utf8SequenceLength(std::string_view text);

// A character without a CP1251 code, or a byte that is not valid UTF-8, becomes one '?'.
std::string Utf8ToCp1251(std::string_view text);

}  // namespace platform
