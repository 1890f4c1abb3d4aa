// Text streams with CR LF line ends, and the run-time library's thread start.
#include "platform/crt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/paths.h"
#include "platform/windows.h"

namespace crt {
namespace {

struct TextFile {
  int fd;
  bool held_cr =
      false;  // reading: a CR at the end of the last chunk, not yet known to be a line end
};

ssize_t TextRead(void* cookie, char* buffer, size_t size) {
  auto* file = static_cast<TextFile*>(cookie);
  if (size == 0) return 0;
  std::string raw(size, '\0');
  for (;;) {
    // A held CR may come out in front of the chunk: leave room for it.
    size_t want = file->held_cr ? size - 1 : size;
    if (want == 0) {
      buffer[0] = '\r';
      file->held_cr = false;
      return 1;
    }
    ssize_t n = ::read(file->fd, raw.data(), want);
    if (n < 0) return -1;
    if (n == 0) {
      if (!file->held_cr) return 0;
      file->held_cr = false;
      buffer[0] = '\r';
      return 1;
    }
    size_t out = 0;
    for (ssize_t i = 0; i < n; ++i) {
      char c = raw[static_cast<size_t>(i)];
      if (file->held_cr) {
        file->held_cr = false;
        if (c == '\n') {
          buffer[out++] = '\n';
          continue;
        }
        buffer[out++] = '\r';
      }
      if (c == '\r') {
        file->held_cr = true;
        continue;
      }
      buffer[out++] = c;
    }
    if (out > 0) return static_cast<ssize_t>(out);
  }
}

ssize_t TextWrite(void* cookie, const char* buffer, size_t size) {
  auto* file = static_cast<TextFile*>(cookie);
  std::string out;
  out.reserve(size + size / 8 + 1);
  for (size_t i = 0; i < size; ++i) {
    if (buffer[i] == '\n') out += '\r';
    out += buffer[i];
  }
  for (size_t done = 0; done < out.size();) {
    ssize_t n = ::write(file->fd, out.data() + done, out.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(size);
}

int TextSeek(void* cookie, off64_t* offset, int whence) {
  auto* file = static_cast<TextFile*>(cookie);
  off64_t result = ::lseek64(file->fd, *offset, whence);
  if (result < 0) return -1;
  file->held_cr = false;
  *offset = result;
  return 0;
}

int TextClose(void* cookie) {
  auto* file = static_cast<TextFile*>(cookie);
  int result = ::close(file->fd);
  delete file;
  return result;
}

}  // namespace

FILE* fopen(const char* path, const char* mode) {
  if (!path || !mode || !*mode) {
    errno = EINVAL;
    return nullptr;
  }
  bool plus = false, binary = false;
  for (const char* m = mode + 1; *m && *m != ','; ++m) {
    if (*m == '+') plus = true;
    if (*m == 'b') binary = true;
  }
  int flags = O_CLOEXEC;
  switch (mode[0]) {
    case 'r':
      flags |= plus ? O_RDWR : O_RDONLY;
      break;
    case 'w':
      flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
      break;
    case 'a':
      flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
      break;
    default:
      errno = EINVAL;
      return nullptr;
  }
  std::string mapped = platform::MapPath(path);
  int fd = ::open(mapped.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  std::string stdio_mode(1, mode[0]);
  if (plus) stdio_mode += '+';
  if (binary) {
    FILE* stream = ::fdopen(fd, stdio_mode.c_str());
    if (!stream) ::close(fd);
    return stream;
  }
  auto* file = new TextFile{fd};
  FILE* stream =
      ::fopencookie(file, stdio_mode.c_str(), {TextRead, TextWrite, TextSeek, TextClose});
  if (!stream) {
    ::close(fd);
    delete file;
  }
  return stream;
}

std::uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned (*start_address)(void*),
                              void* arglist, unsigned initflag, unsigned* thrdaddr) {
  DWORD id = 0;
  HANDLE thread =
      CreateThread(static_cast<LPSECURITY_ATTRIBUTES>(security), stack_size,
                   reinterpret_cast<LPTHREAD_START_ROUTINE>(start_address), arglist, initflag, &id);
  if (thrdaddr) *thrdaddr = id;
  return reinterpret_cast<std::uintptr_t>(thread);
}

}  // namespace crt
