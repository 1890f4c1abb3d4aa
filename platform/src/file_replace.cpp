// Files written by replacement: a temporary file beside the target, renamed over it on commit.
#include "platform/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/cp1251.h"
#include "platform/testing.h"

namespace platform {
namespace {

// Test hook: bytes that writes may still put on the "disk" (-1: no limit), and the error once
// they are used up.
std::atomic<long long> write_budget{-1};
std::atomic<int> budget_error{ENOSPC};

std::atomic<unsigned> temp_counter{0};

std::string Folder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link is replaced where it points, so that a linked file stays linked.
std::string FollowLink(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string target = real;
  std::free(real);
  return target;
}

// How many of `size` bytes the test budget lets through; sets `error` when it cuts them.
std::size_t TakeBudget(std::size_t size, int& error) {
  long long left = write_budget.load();
  for (;;) {
    if (left < 0) return size;
    const long long take = std::min<long long>(left, static_cast<long long>(size));
    if (write_budget.compare_exchange_weak(left, left - take)) {
      if (take < static_cast<long long>(size)) error = budget_error.load();
      return static_cast<std::size_t>(take);
    }
  }
}

// A file that exists and that the user may not write: its write bits all cleared (as the
// read-only attribute is on Windows, this holds for root too), or write access denied to this
// user.
bool ProtectedFile(const std::string& path, const struct stat& st) {
  return S_ISREG(st.st_mode) && ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0);
}

// The process id in a temporary file's name "." + base + "." + pid + "-" + n + ".tmp" of the
// file `base`; 0 when the name is none of that file's temporaries.
pid_t TemporaryOwner(const std::string& name, const std::string& base) {
  const std::string stem = "." + base + ".";
  constexpr std::string_view kEnd = ".tmp";
  if (name.size() <= stem.size() + kEnd.size() || name.compare(0, stem.size(), stem) != 0 ||
      name.compare(name.size() - kEnd.size(), kEnd.size(), kEnd) != 0)
    return 0;
  const std::string middle = name.substr(stem.size(), name.size() - stem.size() - kEnd.size());
  const auto dash = middle.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size() || dash > 9) return 0;
  for (std::size_t i = 0; i < middle.size(); ++i)
    if (i != dash && (middle[i] < '0' || middle[i] > '9')) return 0;
  return static_cast<pid_t>(std::stol(middle.substr(0, dash)));
}

// Removes the temporary files of `target` that writers left when they were killed: those of a
// process that no longer runs. A live writer's file, in this process or another, stays.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string folder = Folder(target);
  const std::string base = BaseName(target);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    const pid_t owner = TemporaryOwner(name, base);
    if (owner <= 0 || owner == ::getpid()) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

bool SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
  ::close(fd);
  return ok;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& path) : target_(FollowLink(path)) {
  if (target_.empty()) {
    error_ = ENOENT;
    return;
  }
  struct stat old {};
  const bool had_old = ::stat(target_.c_str(), &old) == 0;
  if (had_old && S_ISDIR(old.st_mode)) {
    error_ = EISDIR;
    return;
  }
  // A protected file is refused as a full disk is: the writer goes on, and its commit fails
  // with the reason. No temporary file is made for it.
  if (had_old && ProtectedFile(target_, old)) {
    opened_ = true;
    error_ = EPERM;
    return;
  }
  RemoveStaleTemporaries(target_);
  const std::string folder = Folder(target_);
  const std::string stem = folder + "/." + BaseName(target_) + ".";
  // O_EXCL with a name of our own: the umask applies as to any new file.
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = stem + std::to_string(::getpid()) + "-" + std::to_string(temp_counter++) + ".tmp";
    fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) {
    error_ = errno;
    temp_.clear();
    return;
  }
  opened_ = true;
  // The new file keeps the old one's permissions.
  if (had_old) (void)::fchmod(fd_, old.st_mode & 07777);
}

FileReplacement::~FileReplacement() {
  if (!finished_) Discard();
}

bool FileReplacement::Write(std::string_view data) {
  if (error_ != 0 || fd_ < 0) {
    if (error_ == 0) error_ = EBADF;
    return false;
  }
  int cut = 0;
  const std::size_t allowed = TakeBudget(data.size(), cut);
  for (std::size_t done = 0; done < allowed;) {
    const ssize_t n = ::write(fd_, data.data() + done, allowed - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (cut != 0) {
    error_ = cut;
    return false;
  }
  return true;
}

void FileReplacement::Fail(int error) {
  if (error_ == 0) error_ = error != 0 ? error : EIO;
}

bool FileReplacement::Commit() {
  if (finished_) return false;
  if (error_ == 0 && fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL) error_ = errno;
  if (fd_ >= 0) {
    if (::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
  }
  if (error_ == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
  if (error_ != 0) {
    Discard();
    return false;
  }
  finished_ = true;
  // The rename itself reaches the disk with the folder.
  SyncFolder(Folder(target_));
  return true;
}

void FileReplacement::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  finished_ = true;
}

std::string FileErrorText(int error) {
  const char* text = nullptr;
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      text = "Нет места на диске";
      break;
    case EACCES:
      text = "Нет прав на запись в папку";
      break;
    case EPERM:
      text = "Нет прав на запись в файл";
      break;
    case EROFS:
      text = "Диск только для чтения";
      break;
    case ENOENT:
    case ENOTDIR:
      text = "Папка не найдена";
      break;
    case EISDIR:
      text = "На этом месте папка";
      break;
    default:
      return Utf8ToCp1251(std::strerror(error));
  }
  return Utf8ToCp1251(text);
}

namespace testing {

void LimitFileWrites(long long bytes, int error) {
  budget_error = error;
  write_budget = bytes;
}

}  // namespace testing
}  // namespace platform
