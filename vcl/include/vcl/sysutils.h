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

#define VCL_EXCEPTION_CLASS(Name, Base)                              \
  class Name : public Base {                                         \
   public:                                                           \
    explicit Name(const AnsiString& message) : Base(message) {}      \
    AnsiString ClassName() const override { return #Name; }          \
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
AnsiString IntToStr(int value);
AnsiString IntToStr(long long value);
AnsiString IntToHex(int value, int digits);
AnsiString FloatToStr(double value);
// Formats with a picture such as "0.0", "0.000000", "#,##0.00"; the locale's separators.
AnsiString FormatFloat(const AnsiString& format, double value);

AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);

// ---- Locale ----
struct TFormatSettings {
  char DecimalSeparator = ',';
  char ThousandSeparator = ' ';
  char DateSeparator = '.';
  char TimeSeparator = ':';
  AnsiString ShortDateFormat = "dd.MM.yyyy";
  AnsiString LongTimeFormat = "H:mm:ss";
};
// The settings in use (Russian conventions by default); tests may change them.
extern TFormatSettings FormatSettings;
void ResetFormatSettings();

// ---- Dates and times ----
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
TDateTime Now();
TDateTime Date();
// The date alone when the time is exactly 00:00:00.
AnsiString DateTimeToStr(TDateTime value);
AnsiString DateToStr(TDateTime value);
AnsiString TimeToStr(TDateTime value);
// Raise EConvertError on text that is not a date/time in the locale's form.
TDateTime StrToDateTime(const AnsiString& s);
TDateTime StrToDate(const AnsiString& s);
TDateTime StrToTime(const AnsiString& s);

// ---- Files and folders (Windows-style names through the platform's path mapping) ----
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
