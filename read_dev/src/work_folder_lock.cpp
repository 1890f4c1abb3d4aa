#include "read_dev/work_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/paths.h"

namespace {

// How often a lock is taken again when the file it was taken on had been removed meanwhile.
constexpr int LockAttempts = 10;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

WorkFolderLock::WorkFolderLock(const AnsiString& folder)
    : path_(platform::MapPath((folder + ".trakmon.lock").str())) {
  for (int attempt = 0; attempt < LockAttempts; ++attempt) {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      busy_ = errno == EWOULDBLOCK;
      ::close(fd);
      return;
    }
    // A holder that was done removed the file before it let go: a lock on that file holds
    // nothing, the one on the file now there does.
    struct stat held {
    }, there{};
    if (::fstat(fd, &held) == 0 && ::stat(path_.c_str(), &there) == 0 && SameFile(held, there)) {
      fd_ = fd;
      return;
    }
    ::close(fd);
  }
}

WorkFolderLock::~WorkFolderLock() {
  if (fd_ < 0) return;
  // Removed while still held, so that no one takes a lock on it that the next holder's new file
  // would not see.
  ::unlink(path_.c_str());
  ::close(fd_);
}
