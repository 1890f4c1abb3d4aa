#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_replace.h"
#include "platform/paths.h"

namespace vcl::detail {

const char* const kNotAFile = "Not a regular file";

namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// A regular file; otherwise false with the reason.
bool IsReadableKind(const struct stat& st, std::string& error) {
  if (S_ISREG(st.st_mode)) return true;
  error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotAFile;
  return false;
}

}  // namespace

FileResult ReadWholeFile(const AnsiString& name, std::string& out, std::string& error) {
  out.clear();
  const std::string path = platform::MapPath(name.str());
  // Only a regular file is read whole: a FIFO would hold the open until a writer came, a device
  // might never end. The kind is looked at before the open, and the open does not wait either
  // (the name may have been given to a FIFO in between).
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    const int err = errno;
    error = std::strerror(err);
    return err == ENOENT || err == ENOTDIR ? FileResult::kMissing : FileResult::kOpenFailed;
  }
  if (!IsReadableKind(st, error)) return FileResult::kOpenFailed;
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
    error = std::strerror(errno);
    return FileResult::kOpenFailed;
  }
  if (!IsReadableKind(st, error)) return FileResult::kOpenFailed;
  out.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n > 0) {
      out.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return FileResult::kOk;
    } else if (errno != EINTR) {
      error = std::strerror(errno);
      return FileResult::kIoFailed;
    }
  }
}

FileResult WriteWholeFile(const AnsiString& name, std::string_view data, std::string& error) {
  platform::FileReplacement file(platform::MapPath(name.str()));
  if (!file.opened()) {
    error = platform::FileErrorText(file.error());
    return FileResult::kOpenFailed;
  }
  if (!file.Write(data) || !file.Commit()) {
    error = platform::FileErrorText(file.error());
    return FileResult::kIoFailed;
  }
  return FileResult::kOk;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.emplace_back(text.substr(i, end - i));
    i = end;
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  }
  return lines;
}

}  // namespace vcl::detail
