// The device's state reply: the status line that follows "#", its eight tokens, and the texts
// the state box builds from them. Text in, text out: no port and no window.
#pragma once

#include "vcl/system.h"

constexpr int StatusTokenCount = 8;
// The widths of the eight tokens: write address, interval, -, beeper, -, device number, server
// port, server address. A longer token is cut to its width.
constexpr int StatusTokenWidths[StatusTokenCount] = {19, 19, 19, 19, 19, 31, 51, 31};

// The longest status line the device's fields make: every token at its width, one blank between
// them (215 characters). A longer line is refused.
constexpr int StatusLineMax = [] {
  int length = StatusTokenCount - 1;
  for (int width : StatusTokenWidths) length += width;
  return length;
}();

struct StatusLine {
  AnsiString Tokens[StatusTokenCount];  // in order; a token the line does not hold is empty
};

// Splits the line at white space into its tokens, each cut to its width (the rest of an
// over-long token is dropped, not taken as the next token); tokens past the eighth are ignored.
StatusLine SplitStatusLine(const AnsiString& line);

// Free track memory in kB for a write address: (0x210000 - address) / 1024, truncated toward
// zero, so an address past the end gives zero or less.
int FreeMemoryKb(int write_address);

// The device number as stored ("/A123BC/") with its framing "/" turned into blanks: the first
// "/", then the next one among the characters after it up to position 19. A text without "/"
// stays as it is.
AnsiString UnframeDeviceNumber(const AnsiString& text);

// The vehicle number as a folder name under the working folder: "/", "\" and control
// characters, which could name a folder elsewhere or no folder at all, each become "_". With no
// separator left, a ".." in the number is part of one plain name. An ordinary number stays as
// it is.
AnsiString DeviceFolderName(const AnsiString& number);
