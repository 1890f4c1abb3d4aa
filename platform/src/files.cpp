// Files and folders: the program's own path, the current directory, folder creation, file
// attributes, renaming and deletion. Paths are the programs' CP1251 texts, mapped through the
// prefix.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "internal.h"
#include "platform/cp1251.h"
#include "platform/paths.h"
#include "platform/testing.h"

using namespace platform::detail;

namespace {

// Copies `text` into a caller's buffer of `size` characters the Windows way: the length without
// the NUL when it fits, else the size needed with the NUL.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool CopyFile(const std::string& from, const std::string& to) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  ::fstat(in, &st);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
  if (out < 0) {
    ::close(in);
    return false;
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  ::close(in);
  if (::close(out) != 0) ok = false;
  if (!ok) ::unlink(to.c_str());
  return ok;
}

}  // namespace

DWORD GetModuleFileNameA(void* hModule, LPSTR lpFilename, DWORD nSize) {
  const std::string real = platform::ModuleFilePath();
  if (real.empty()) {
    SetLastError(ErrorFromErrno(errno));
    return 0;
  }
  // Only a text that names the program's path exactly: a "?" in place of a character would
  // name another file, a backslash another folder.
  const std::optional<std::string> text = platform::ExactProgramText(real);
  if (!text) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  const std::string& path = *text;
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // Truncated to the buffer, NUL included, as Windows does.
  if (path.size() >= nSize) {
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::memcpy(lpFilename, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) {
    SetLastError(ErrorFromErrno(errno));
    return 0;
  }
  return CopyOut(platform::Utf8ToCp1251(UnmapPath(buffer)), lpBuffer, nBufferLength);
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName) {
  if (!lpPathName || !*lpPathName) return Fail(ERROR_INVALID_PARAMETER);
  if (Faulted("SetCurrentDirectoryA", lpPathName)) return FALSE;
  std::string path = platform::MapPath(lpPathName);
  if (::chdir(path.c_str()) == 0) return TRUE;
  int err = errno;
  if (err == ENOENT) return Fail(MissingPathError(path));
  return Fail(err == ENOTDIR ? ERROR_DIRECTORY : ErrorFromErrno(err));
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
  if (!lpPathName || !*lpPathName) return Fail(ERROR_PATH_NOT_FOUND);
  if (Faulted("CreateDirectoryA", lpPathName)) return FALSE;
  std::string path = platform::MapPath(lpPathName);
  if (::mkdir(path.c_str(), 0777) == 0) return TRUE;
  int err = errno;
  return Fail(err == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  if (!lpFileName || !*lpFileName) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (Faulted("GetFileAttributesA", lpFileName)) return INVALID_FILE_ATTRIBUTES;
  std::string path = platform::MapPath(lpFileName);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    int err = errno;
    SetLastError(err == ENOENT ? MissingPathError(path) : ErrorFromErrno(err));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return ::access(path.c_str(), W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
  if (!lpExistingFileName || !lpNewFileName) return Fail(ERROR_INVALID_PARAMETER);
  if (Faulted("MoveFileA", lpExistingFileName)) return FALSE;
  std::string from = platform::MapPath(lpExistingFileName);
  std::string to = platform::MapPath(lpNewFileName);
  struct stat st;
  if (::lstat(from.c_str(), &st) != 0)
    return Fail(errno == ENOENT ? MissingPathError(from) : ErrorFromErrno(errno));
  // MoveFile never replaces an existing file.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return TRUE;
  int err = errno;
  if (err == EINVAL || err == ENOSYS) {  // a file system without RENAME_NOREPLACE
    if (Exists(to)) return Fail(ERROR_ALREADY_EXISTS);
    if (::rename(from.c_str(), to.c_str()) == 0) return TRUE;
    err = errno;
  }
  if (err == EXDEV && S_ISREG(st.st_mode)) {
    // Another file system: a file is copied and the original removed, as MoveFile does across
    // volumes.
    if (Exists(to)) return Fail(ERROR_ALREADY_EXISTS);
    if (!CopyFile(from, to)) return Fail(ERROR_ACCESS_DENIED);
    ::unlink(from.c_str());
    return TRUE;
  }
  if (err == ENOENT) return Fail(ERROR_PATH_NOT_FOUND);
  return Fail(ErrorFromErrno(err));
}

BOOL DeleteFileA(LPCSTR lpFileName) {
  if (!lpFileName || !*lpFileName) return Fail(ERROR_PATH_NOT_FOUND);
  if (Faulted("DeleteFileA", lpFileName)) return FALSE;
  std::string path = platform::MapPath(lpFileName);
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(path.c_str()) == 0) return TRUE;
  int err = errno;
  return Fail(err == ENOENT ? MissingPathError(path) : ErrorFromErrno(err));
}
