// The working folder held for one download or conversion, so that a second Trakmon on the same
// folder cannot mix its files with this one's: the file ".trakmon.lock" in the folder, opened
// without sharing and removed at its close. The system lets go of it when its holder ends,
// however it ends (a killed program holds nothing); a file a killed holder left is simply taken
// by the next one.
#pragma once

#include "platform/windows.h"
#include "vcl/system.h"

class WorkFolderLock {
 public:
  // Takes the lock of `folder` (a folder path ending in its separator) without waiting. A
  // folder where no lock file can be made (missing, not writable) is not held: what the
  // download writes there fails with its own message.
  explicit WorkFolderLock(const AnsiString& folder);
  ~WorkFolderLock();
  WorkFolderLock(const WorkFolderLock&) = delete;
  WorkFolderLock& operator=(const WorkFolderLock&) = delete;

  // True when another holder (another Trakmon, or another lock in this one) has the folder.
  bool Busy() const { return busy_; }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool busy_ = false;
};
