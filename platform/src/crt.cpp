// Text streams with CR LF line ends, files created by replacement, and the run-time library's
// thread start.
#include "platform/crt.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/file_replace.h"
#include "platform/paths.h"
#include "platform/windows.h"

namespace crt {
namespace {

// A stream of ours: a text stream (CR LF on disk), or a binary one that writes a file by
// replacement. A stream created with "w" writes into a FileReplacement, which its close commits.
struct Stream {
  int fd;
  bool binary = false;
  std::unique_ptr<platform::FileReplacement> replacement;  // "w" streams
  bool discard = false;                                    // closed by fdiscard: the old file stays
  bool held_cr =
      false;  // reading: a CR at the end of the last chunk, not yet known to be a line end
};

// The streams created by replacement, so that fdiscard finds its stream's state.
std::mutex streams_mutex;
std::map<FILE*, Stream*>& Streams() {
  static std::map<FILE*, Stream*> streams;
  return streams;
}

ssize_t StreamRead(void* cookie, char* buffer, size_t size) {
  auto* file = static_cast<Stream*>(cookie);
  if (size == 0) return 0;
  if (file->binary) {
    for (;;) {
      const ssize_t n = ::read(file->fd, buffer, size);
      if (n >= 0 || errno != EINTR) return n;
    }
  }
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
bool WriteAll(Stream& file, const char* data, size_t size) {
  if (file.replacement) {
    if (file.replacement->Write(std::string_view(data, size))) return true;
    errno = file.replacement->error();
    return false;
  }
  for (size_t done = 0; done < size;) {
    ssize_t n = ::write(file.fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// LF goes out as CR LF (text streams). The text is converted a piece at a time into a buffer of
// fixed size, so that a large write claims no memory of its own size. A failure returns 0, never
// -1: the C library takes a negative count for bytes written and reads past the caller's data.
ssize_t StreamWrite(void* cookie, const char* buffer, size_t size) {
  auto* file = static_cast<Stream*>(cookie);
  if (file->binary) return WriteAll(*file, buffer, size) ? static_cast<ssize_t>(size) : 0;
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
    if (!WriteAll(*file, out, n)) return 0;
  }
  return static_cast<ssize_t>(size);
}

int StreamSeek(void* cookie, off64_t* offset, int whence) {
  auto* file = static_cast<Stream*>(cookie);
  off64_t result = ::lseek64(file->fd, *offset, whence);
  if (result < 0) return -1;
  file->held_cr = false;
  *offset = result;
  return 0;
}

// A replacing stream puts its file in place here, unless a write failed or it was discarded.
int StreamClose(void* cookie) {
  std::unique_ptr<Stream> file(static_cast<Stream*>(cookie));
  if (!file->replacement) return ::close(file->fd);
  {
    std::lock_guard lock(streams_mutex);
    auto& streams = Streams();
    for (auto it = streams.begin(); it != streams.end(); ++it) {
      if (it->second == file.get()) {
        streams.erase(it);
        break;
      }
    }
  }
  if (file->discard) {
    file->replacement->Discard();
    return 0;
  }
  if (file->replacement->Commit()) return 0;
  errno = file->replacement->error();
  return -1;
}

}  // namespace

int fdiscard(FILE* stream) {
  {
    std::lock_guard lock(streams_mutex);
    auto& streams = Streams();
    const auto it = streams.find(stream);
    if (it != streams.end()) it->second->discard = true;
  }
  return std::fclose(stream);
}

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
  std::string stdio_mode(1, mode[0]);
  if (plus) stdio_mode += '+';
  auto file = std::make_unique<Stream>();
  file->binary = binary;
  if (mode[0] == 'w') {
    file->replacement = std::make_unique<platform::FileReplacement>(mapped);
    if (!file->replacement->opened()) {
      errno = file->replacement->error();
      return nullptr;
    }
    file->fd = file->replacement->fd();
  } else {
    file->fd = ::open(mapped.c_str(), flags, 0666);
    if (file->fd < 0) return nullptr;
    if (binary) {
      FILE* stream = ::fdopen(file->fd, stdio_mode.c_str());
      if (!stream) ::close(file->fd);
      return stream;
    }
  }
  Stream* state = file.get();
  FILE* stream =
      ::fopencookie(state, stdio_mode.c_str(), {StreamRead, StreamWrite, StreamSeek, StreamClose});
  if (!stream) {
    if (!file->replacement) ::close(file->fd);
    return nullptr;
  }
  file.release();
  if (state->replacement) {
    std::lock_guard lock(streams_mutex);
    Streams()[stream] = state;
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
