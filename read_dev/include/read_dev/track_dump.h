// The track memory as the device stores it: text packed two characters per byte, the first in
// the high nibble, in a reduced alphabet (NibbleToChar). The dump turns received bytes into the
// text of "gps_msg.txt".
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace track {

// The device's track memory: 4096 pages of 528 bytes.
inline constexpr long long TrackMemorySize = 0x210000;
// The page of the dump: the host acknowledges every this many bytes with 0x55, 0xAA.
inline constexpr int DumpPage = 528;
inline constexpr std::uint8_t PageAckLow = 0x55;
inline constexpr std::uint8_t PageAckHigh = 0xAA;

// The longest a dump of `length` bytes may take at `baud`: four times its time on the line
// (ten bits a byte) plus a minute, which leaves room for a device slower than its line and
// ends one that would send a full memory a byte at a time for days. Milliseconds.
std::uint32_t DumpBoundMs(long long length, std::uint32_t baud);

// The character of a 4-bit code: 0 blank, 1-9 "1"-"9", 10 "0", 11 ";", 12 ".", 13 "/",
// 14 line feed, 15 "$". Only the low four bits of `code` are looked at.
char NibbleToChar(int code);

// The text of received bytes: with `unpack` two characters per byte (high nibble first),
// otherwise each byte as it came. Line feeds are "\n"; a text stream writes them as CR LF.
std::string DumpText(std::span<const std::uint8_t> bytes, bool unpack);

}  // namespace track
