// TIniFile: a Windows profile file ("[Section]" lines and "Key=Value" lines). Every call reads
// the file and every write updates it at once, as the Windows profile calls do. The file's
// texts are the programs' code page; a file that starts with a UTF-8 byte order mark (as an
// editor may save it) is read as UTF-8 without the mark, and written back so.
#pragma once

#include "vcl/property.h"
#include "vcl/string_list.h"
#include "vcl/system.h"

class TIniFile : public TObject {
 public:
  // The name is Windows-style; the platform maps it to a file.
  explicit TIniFile(const AnsiString& FileName);
  AnsiString ClassName() const override { return "TIniFile"; }

  // Section and key names ignore case. A missing key gives the default; a key without value
  // gives an empty text. Values lose surrounding blanks and one pair of enclosing quotes.
  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                        const AnsiString& Default) const;
  // A value that is not an integer (StrToInt's forms) gives the default.
  int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const;
  // An integer value: non-zero is true; anything else gives the default.
  bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const;

  // Replace the key's value, or add the key at the end of its section, or add the section at
  // the end of the file; the file is created when missing and its other lines are kept. A file
  // that cannot be written, or that is there and cannot be read (it would lose its other lines),
  // raises EIniFileException ("Unable to write to <file>. <reason>") and stays as it was.
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
  void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
  void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);

  // True when the section holds at least one key.
  bool SectionExists(const AnsiString& Section) const;
  bool ValueExists(const AnsiString& Section, const AnsiString& Ident) const;
  // The section's key names, in file order, replace the list's lines.
  void ReadSection(const AnsiString& Section, TStrings* Strings) const;
  void EraseSection(const AnsiString& Section);
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident);
  // Writes are not buffered: nothing to do.
  void UpdateFile() {}

  ReadOnlyProperty<AnsiString> FileName;

 private:
  AnsiString file_name_;
};
