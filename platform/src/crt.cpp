// Text streams with CR LF line ends, and the run-time library's thread start.
#include "platform/crt.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// Writes all of `size` bytes; false on an error other than an interrupted call.
bool WriteAll(int fd, const char* data, size_t size) {
  for (size_t done = 0; done < size;) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// LF goes out as CR LF. The text is converted a piece at a time into a buffer of fixed size, so
// that a large write claims no memory of its own size.
ssize_t TextWrite(void* cookie, const char* buffer, size_t size) {
  auto* file = static_cast<TextFile*>(cookie);
  constexpr size_t kPiece = 32 * 1024;
  char out[2 * kPiece];
  for (size_t pos = 0; pos < size;) {
    const size_t end = std::min(size, pos + kPiece);
    size_t n = 0;
    while (pos < end) {
      const void* lf = std::memchr(buffer + pos, '\n', end - pos);
      const size_t stop = lf ? static_cast<size_t>(static_cast<const char*>(lf) - buffer) : end;
      std::memcpy(out + n, buffer + pos, stop - pos);
      n += stop - pos;
      pos = stop;
      if (lf) {
        out[n++] = '\r';
        out[n++] = '\n';
        ++pos;
      }
    }
    if (!WriteAll(file->fd, out, n)) return -1;
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

void KeepFreedHeapMemory() {
  // Blocks up to the largest threshold glibc allows come from the heap, and the heap is trimmed
  // only when far more than that lies free at its top.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

}  // namespace crt
