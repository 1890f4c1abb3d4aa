// The fuel sensor's calibration table as it travels to and from the tracker, and one point of
// it as the user composes it. No window involved.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "vcl/system.h"

constexpr int CalibrationEntries = 30;
// Result of a table read whose reply ran past what a table can hold without its "$".
constexpr int TableReplyTooLong = -2;

// 120 bytes: the input codes of entries 0 to 29, then their output codes, each 16 bits with the
// low byte first. No header, count or checksum.
struct CalibrationTableImage {
  static constexpr int Size = 4 * CalibrationEntries;
  std::array<std::uint8_t, Size> Bytes{};

  // Stores entry k's codes; bits above the 16th are dropped (70000 gives 4464, -1 gives 65535).
  void Set(int k, long long input, long long output);
  unsigned Input(int k) const;
  unsigned Output(int k) const;

  // The table as a reply brought it: the bytes received before "$". Every "#" among the first
  // 120 positions is removed, the later bytes moving forward; positions that no received byte
  // fills are 0.
  static CalibrationTableImage FromReply(std::span<const std::uint8_t> received);
};

// One point: number, input code and output code, each the text typed; nothing is checked.
struct CalibrationPoint {
  AnsiString Number;
  AnsiString Input;
  AnsiString Output;
  // The three texts joined by single blanks, as the tracker takes them.
  AnsiString Text() const { return Number + " " + Input + " " + Output; }
};
