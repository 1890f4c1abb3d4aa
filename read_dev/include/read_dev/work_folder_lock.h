// The working folder held for one download or conversion, so that a second Trakmon on the same
// folder cannot mix its files with this one's: an exclusive lock (flock) on the file
// ".trakmon.lock" in the folder. The kernel drops the lock when its holder ends, however it ends
// (a killed program holds nothing); the file itself is removed by the holder that is done with
// it, and a file left by a killed holder is simply locked again by the next one.
#pragma once

#include "vcl/system.h"

class WorkFolderLock {
 public:
  // Takes the lock of `folder` (a Windows-style folder path ending in its separator) without
  // waiting. A folder where no lock file can be made (missing, not writable) is not held: what
  // the download writes there fails with its own message.
  explicit WorkFolderLock(const AnsiString& folder);
  ~WorkFolderLock();
  WorkFolderLock(const WorkFolderLock&) = delete;
  WorkFolderLock& operator=(const WorkFolderLock&) = delete;

  // True when another holder (another Trakmon, or another lock in this one) has the folder.
  bool Busy() const { return busy_; }

 private:
  std::string path_;  // the lock file, mapped
  int fd_ = -1;       // held while >= 0
  bool busy_ = false;
};
