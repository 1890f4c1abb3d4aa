// Intel HEX lines and the memory image built from them, as text in and text out.
//
// A line is read at fixed 1-based positions: mark ":" 1, byte count LL 2-3, address AAAA 4-7,
// type 8-9, data from 10 (LL x 2 characters), checksum after the data. Blanks and control
// characters after the checksum are ignored. Only type "00" carries data, at its own 16-bit
// address (one of no bytes is skipped); "01" ends the file; "03" and "05" (start addresses) and
// "02" and "04" with a zero base are skipped. After the end record only blank lines may follow
// (a DOS end-of-file character counts as blank).
//
// The image holds two characters per byte (address a at characters 2a and 2a+1, copied from
// the file unchanged), end address x 2 + 512 characters, "F" where no record writes. The end
// address is the highest address + length over the data records.
//
// read_firmware() refuses with EHexFile, naming the line and why, every record it cannot read
// exactly: no mark, a character that is not a hexadecimal digit, a length that does not match
// the count, a wrong checksum, an unknown type, data above FFFF (a data record that runs past
// it, or an extended address with a non-zero base: 16-bit addresses would lay it over the start
// of the image), data over bytes an earlier record wrote (the file would not say which firmware
// it holds), anything after the end record (two files joined: the second would not be written).
// It also refuses a file without an end record, and one without a data byte. Any other failure
// while a line is read is refused as well, naming the line: nothing but EHexFile leaves it.
#pragma once

#include <string>
#include <vector>

#include "vcl/string_list.h"
#include "vcl/sysutils.h"

VCL_EXCEPTION_CLASS(EHexFile, Exception);

namespace hex {

struct Fields {
  AnsiString mark, count, address, type;
};
Fields fields(const AnsiString& line);
bool is_end_record(const AnsiString& line);

// A firmware as a file gives it: the end address and the image. Built whole or not at all.
struct Firmware {
  int end_addr = 0;
  std::string image;
};
Firmware read_firmware(const TStrings& lines);

// "Mega": one line per 16 address units, bytes (two characters a group) or 16-bit words (four).
std::vector<AnsiString> list_image(const std::string& image, int end_addr, bool bytes);
// "Dat.": one group (byte or word) per line.
std::vector<AnsiString> list_groups(const std::string& image, int end_addr, bool bytes);
// "Hex_2": every line before the end record split into its fields. `end` receives the end
// address when an end record was found (and is left alone otherwise). The lines are listed as
// they stand; a count or address that is not a number raises EConvertError.
std::vector<AnsiString> list_fields(const TStrings& lines, int& end);

// "End addr.= 0x" + at least five upper-case hexadecimal digits.
AnsiString end_label(int end_addr);

}  // namespace hex
