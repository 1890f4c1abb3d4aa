// Whole-file reads and writes for the string lists and INI files. Names are Windows-style CP1251
// texts mapped by the platform; contents are bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vcl/system.h"

namespace vcl::detail {

enum class FileResult { kOk, kOpenFailed, kIoFailed };

// `error` receives the system's reason on failure. A folder cannot be opened as a file.
FileResult ReadWholeFile(const AnsiString& name, std::string& out, std::string& error);
// Replaces the file with `data` (platform/file_replace.h): on failure the old file stays as it
// was and `error` says why, in the user's words ("Нет места на диске").
FileResult WriteWholeFile(const AnsiString& name, std::string_view data, std::string& error);

// Lines ended by CR LF, LF or CR; a last line without an end counts, a final end adds no line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace vcl::detail
