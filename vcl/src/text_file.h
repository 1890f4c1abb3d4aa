// Whole-file reads and writes for the string lists and INI files. Names are Windows-style CP1251
// texts mapped by the platform; contents are bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vcl/system.h"

namespace vcl::detail {

// kMissing: the file or a folder on its way is not there (a failed open, like kOpenFailed).
enum class FileResult { kOk, kMissing, kOpenFailed, kIoFailed };

// The reason given for a name that is no regular file (a FIFO, a device, a socket).
extern const char* const kNotAFile;

// `error` receives the system's reason on failure. Only a regular file is read: a folder, a
// FIFO or a device is refused at once (kOpenFailed), without waiting for a writer or an end.
FileResult ReadWholeFile(const AnsiString& name, std::string& out, std::string& error);
// Replaces the file with `data` (platform/file_replace.h): on failure the old file stays as it
// was and `error` says why, in the user's words ("Нет места на диске").
FileResult WriteWholeFile(const AnsiString& name, std::string_view data, std::string& error);

// Lines ended by CR LF, LF or CR; a last line without an end counts, a final end adds no line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace vcl::detail
