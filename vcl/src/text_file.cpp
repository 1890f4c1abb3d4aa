#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"

namespace vcl::detail {
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
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

FileResult ReadWholeFile(const AnsiString& name, std::string& out, std::string& error) {
  out.clear();
  Fd fd(::open(platform::MapPath(name.str()).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
    error = std::strerror(errno);
    return FileResult::kOpenFailed;
  }
  if (S_ISDIR(st.st_mode)) {
    error = std::strerror(EISDIR);
    return FileResult::kOpenFailed;
  }
  if (S_ISREG(st.st_mode)) out.reserve(static_cast<std::size_t>(st.st_size));
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
  Fd fd(::open(platform::MapPath(name.str()).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
               0666));
  if (fd.get() < 0) {
    error = std::strerror(errno);
    return FileResult::kOpenFailed;
  }
  while (!data.empty()) {
    const ssize_t n = ::write(fd.get(), data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      return FileResult::kIoFailed;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::close(fd.release()) != 0) {
    error = std::strerror(errno);
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
