// Paths between the programs' texts (Windows-style "c:\Tc\WorkDir" or absolute, code page 1251)
// and the real file system, both ways.
#pragma once

#include <QString>
#include <optional>

#include "vcl/system.h"

namespace vcl::qt::detail {

// The real path a program's text names (empty text: empty).
QString RealPath(const AnsiString& program_path);

// The program's text for a real path: a path inside a drive's folder becomes "<letter>:\..."
// unless `composed` (what the program gave: a start folder or file name) is an absolute POSIX
// path; a path outside every drive stays as it is. The drive letter takes the case that
// `composed` uses for the same letter, else upper case.
AnsiString ProgramPath(const QString& real_path, const AnsiString& composed);

// ProgramPath when its text names the chosen path exactly (RealPath of it leads back to the same
// file or folder); otherwise nothing, and `problem` says why, for the user: a character outside
// the code page would become "?", a backslash in a name a separator.
std::optional<AnsiString> ExactProgramPath(const QString& real_path, const AnsiString& composed,
                                           QString& problem);
// A program's text the user typed (a backslash is a separator there) when the code page holds
// every character of it; otherwise nothing, and `problem` says why.
std::optional<AnsiString> ExactTypedPath(const QString& typed, QString& problem);

}  // namespace vcl::qt::detail
