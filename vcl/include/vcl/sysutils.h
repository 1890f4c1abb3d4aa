// SysUtils: exceptions, number and date conversions, locale settings, files and folders.
#pragma once

#include <exception>

#include "vcl/system.h"

// Root of the class library's exceptions. Copyable, thrown by value.
class Exception : public std::exception {
 public:
  explicit Exception(const AnsiString& message) : Message(message) {}
  ~Exception() override = default;
  const char* what() const noexcept override { return Message.c_str(); }
  virtual AnsiString ClassName() const { return "Exception"; }
  AnsiString Message;
};

#define VCL_EXCEPTION_CLASS(Name, Base)                         \
  class Name : public Base {                                    \
   public:                                                      \
    explicit Name(const AnsiString& message) : Base(message) {} \
    AnsiString ClassName() const override { return #Name; }     \
  }

// The silent exception: unwinds the handler and its callers; the message loop shows nothing.
VCL_EXCEPTION_CLASS(EAbort, Exception);
VCL_EXCEPTION_CLASS(EConvertError, Exception);
VCL_EXCEPTION_CLASS(ERangeError, Exception);
VCL_EXCEPTION_CLASS(EListError, Exception);
VCL_EXCEPTION_CLASS(EStringListError, Exception);
VCL_EXCEPTION_CLASS(EStreamError, Exception);
VCL_EXCEPTION_CLASS(EFCreateError, EStreamError);
VCL_EXCEPTION_CLASS(EFOpenError, EStreamError);
VCL_EXCEPTION_CLASS(EReadError, EStreamError);
VCL_EXCEPTION_CLASS(EWriteError, EStreamError);
VCL_EXCEPTION_CLASS(EInOutError, Exception);
VCL_EXCEPTION_CLASS(EIniFileException, Exception);
VCL_EXCEPTION_CLASS(ERegistryException, Exception);
VCL_EXCEPTION_CLASS(EInvalidOperation, Exception);
VCL_EXCEPTION_CLASS(EComponentError, Exception);

// Raises EAbort.
[[noreturn]] void Abort();

// ---- Numbers ----
// Decimal with leading blanks and a sign, or hexadecimal with "$" or "0x"; anything else raises
// EConvertError "'<text>' is not a valid integer value".
int StrToInt(const AnsiString& s);
int StrToIntDef(const AnsiString& s, int default_value);
double StrToFloat(const AnsiString& s);  // the locale's decimal separator
// Decimal text of any integer type (DWORD tick differences included).
AnsiString IntToStr(int value);
AnsiString IntToStr(unsigned value);
AnsiString IntToStr(long value);
AnsiString IntToStr(unsigned long value);
AnsiString IntToStr(long long value);
AnsiString IntToStr(unsigned long long value);
AnsiString IntToHex(int value, int digits);
AnsiString FloatToStr(double value);
// Formats with a picture such as "0.0", "0.000000", "#,##0.00"; the locale's separators.
AnsiString FormatFloat(const AnsiString& format, double value);

AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
// ASCII letters only, as the class library's UpperCase/LowerCase.
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);
// Latin and code page 1251 Cyrillic letters.
AnsiString AnsiUpperCase(const AnsiString& s);
AnsiString AnsiLowerCase(const AnsiString& s);
// <0, 0, >0. The Text forms ignore case (CP1251 case mapping); order is that of the case-mapped
// bytes.
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);
int AnsiCompareText(const AnsiString& a, const AnsiString& b);
bool AnsiSameText(const AnsiString& a, const AnsiString& b);

// ---- Locale ----
// In the date and time formats "/" stands for DateSeparator and ":" for TimeSeparator; d, dd, m,
// mm (minutes right after an hour), yy, yyyy, h, hh, n, nn, s, ss are the fields (letters in any
// case); text in quotes and any other character is copied.
struct TFormatSettings {
  char DecimalSeparator = ',';
  char ThousandSeparator = ' ';
  char DateSeparator = '.';
  char TimeSeparator = ':';
  AnsiString ShortDateFormat = "dd/MM/yyyy";
  AnsiString LongTimeFormat = "H:mm:ss";
  // Two-digit years fall within the 100 years that start this many years before the current one.
  int TwoDigitYearCenturyWindow = 50;
};
// The settings in use (Russian conventions by default); tests may change them.
extern TFormatSettings FormatSettings;
void ResetFormatSettings();

// ---- Dates and times ----
// Raise EConvertError on a date or time that does not exist.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
TDateTime Now();  // the local date and time
TDateTime Date();
// The date alone when the time is exactly 00:00:00.
AnsiString DateTimeToStr(TDateTime value);
AnsiString DateToStr(TDateTime value);
AnsiString TimeToStr(TDateTime value);
// Read the locale's forms: a date in the short date format's order with DateSeparator (two numbers:
// the current year; a year of one or two digits: TwoDigitYearCenturyWindow), a time H:M or H:M:S
// with TimeSeparator; blanks may surround the numbers. StrToDateTime takes a date with an optional
// time, or a time alone. Text of another form raises EConvertError.
TDateTime StrToDateTime(const AnsiString& s);
TDateTime StrToDate(const AnsiString& s);
TDateTime StrToTime(const AnsiString& s);

// ---- Files and folders (Windows-style names through the platform's path mapping) ----
// Backslash, slash and the drive colon separate the parts of a name.
bool FileExists(const AnsiString& name);
bool DirectoryExists(const AnsiString& name);
bool CreateDir(const AnsiString& name);  // one level; false on failure
bool ForceDirectories(const AnsiString& name);
bool SetCurrentDir(const AnsiString& name);
AnsiString GetCurrentDir();
bool RenameFile(const AnsiString& old_name, const AnsiString& new_name);
bool DeleteFile(const AnsiString& name);
AnsiString ExtractFilePath(const AnsiString& name);
AnsiString ExtractFileName(const AnsiString& name);
AnsiString ExtractFileExt(const AnsiString& name);
AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext);
AnsiString IncludeTrailingBackslash(const AnsiString& name);
AnsiString ExcludeTrailingBackslash(const AnsiString& name);

namespace vcl::testing {
// Makes Now() and Date() answer from this value until ClearNow(), for tests of time stamps.
void SetNow(TDateTime value);
void ClearNow();
}  // namespace vcl::testing
