#include "read_dev/work_folder_lock.h"

WorkFolderLock::WorkFolderLock(const AnsiString& folder) {
  const AnsiString path = folder + ".trakmon.lock";
  file_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  busy_ = file_ == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
}

WorkFolderLock::~WorkFolderLock() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}
