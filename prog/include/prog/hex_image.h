// Intel HEX lines and the memory image built from them, as text in and text out.
//
// A line is read at fixed 1-based positions: mark 1, byte count LL 2-3, address AAAA 4-7,
// type 8-9, data from 10 (LL x 2 characters), checksum after the data. Type "01" ends the
// file; every other type is data at its own 16-bit address. Numbers convert as "0x" + field
// through StrToInt, so a malformed field raises EConvertError.
//
// The image holds two characters per byte (address a at characters 2a and 2a+1, copied from
// the file unchanged), end address x 2 + 512 characters, "F" where no record writes.
//
// Refused with EHexFile: a file without an end record (the image could not be sized), and a
// type "02" or "04" record with a non-zero base (its data lies above 64 KB, and 16-bit
// addresses would lay it over the start of the image). A record reaching past the image is cut
// at the image's end.
#pragma once

#include <string>
#include <vector>

#include "vcl/vcl.h"

VCL_EXCEPTION_CLASS(EHexFile, Exception);

namespace hex {

struct Fields {
  AnsiString mark, count, address, type;
};
Fields fields(const AnsiString& line);
bool is_end_record(const AnsiString& line);

// The address just past the data of the record before the first end record. Raises
// EStringListError when the end record is the first line, EHexFile when there is none.
int end_address(const TStrings& lines);

// Raises EHexFile for an extended-address record with a non-zero base before the end record.
void refuse_extended_addresses(const TStrings& lines);

// An image of end_addr x 2 + 512 characters "F".
std::string blank_image(int end_addr);
// Copies the data of every record before the end record into the image, later records over
// earlier ones. A conversion or a short line raises after the records before it were copied.
void copy_records(const TStrings& lines, std::string& image);

// "Mega": one line per 16 address units, bytes (two characters a group) or 16-bit words (four).
std::vector<AnsiString> list_image(const std::string& image, int end_addr, bool bytes);
// "Dat.": one group (byte or word) per line.
std::vector<AnsiString> list_groups(const std::string& image, int end_addr, bool bytes);
// "Hex_2": every line before the end record split into its fields. `end` receives the end
// address when an end record was found (and is left alone otherwise).
std::vector<AnsiString> list_fields(const TStrings& lines, int& end);

// "End addr.= 0x" + at least five upper-case hexadecimal digits.
AnsiString end_label(int end_addr);

}  // namespace hex
