// CreateFileA, ReadFile, WriteFile, GetOverlappedResult, CloseHandle and the comm calls: the
// handle checks and Windows argument rules in front of the file object and the two comm
// backends.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "comm.h"
#include "internal.h"
#include "platform/paths.h"

using namespace platform::detail;

namespace platform::detail {

void InitRead(IoOp& op, const COMMTIMEOUTS& t, std::uint64_t now) {
  op.start = now;
  op.last_byte = now;
  if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
      t.ReadTotalTimeoutConstant == 0) {
    op.immediate = true;
    return;
  }
  if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
      t.ReadTotalTimeoutConstant > 0 && t.ReadTotalTimeoutConstant < MAXDWORD) {
    op.first_byte = true;
    op.total_deadline = now + static_cast<std::uint64_t>(t.ReadTotalTimeoutConstant) * 1000;
    return;
  }
  std::uint64_t total_ms = static_cast<std::uint64_t>(t.ReadTotalTimeoutMultiplier) * op.size +
                           t.ReadTotalTimeoutConstant;
  op.total_deadline = total_ms ? now + total_ms * 1000 : kForever;
  if (t.ReadIntervalTimeout && t.ReadIntervalTimeout != MAXDWORD)
    op.interval = static_cast<std::uint64_t>(t.ReadIntervalTimeout) * 1000;
}

void InitWrite(IoOp& op, const COMMTIMEOUTS& t, std::uint64_t now) {
  op.start = now;
  std::uint64_t total_ms = static_cast<std::uint64_t>(t.WriteTotalTimeoutMultiplier) * op.size +
                           t.WriteTotalTimeoutConstant;
  op.total_deadline = total_ms ? now + total_ms * 1000 : kForever;
}

void CompleteOp(IoOp& op, DWORD error) {
  if (op.complete) return;
  op.complete = true;
  op.error = error;
  if (op.mask_out) *op.mask_out = error ? 0 : op.events;
  if (op.overlapped) {
    op.overlapped->InternalHigh = op.type == IoOp::WaitEvent ? 0 : op.done;
    op.overlapped->Internal = kDoneFlag | error;
    if (op.overlapped->hEvent) SignalEventHandle(op.overlapped->hEvent);
  }
  NotifyChanged();
}

void AbortOps(std::deque<std::shared_ptr<IoOp>>& ops, DWORD error) {
  while (!ops.empty()) {
    CompleteOp(*ops.front(), error);
    ops.pop_front();
  }
}

void EndWait(std::shared_ptr<IoOp>& wait, DWORD events, DWORD error) {
  if (!wait) return;
  wait->events = events;
  CompleteOp(*wait, error);
  wait.reset();
}

void ReportEvents(std::shared_ptr<IoOp>& wait, DWORD& occurred, DWORD mask) {
  if (!wait || !(occurred & mask)) return;
  EndWait(wait, occurred & mask);
  occurred &= ~mask;
}

bool ValidDcb(const DCB& dcb) {
  if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY ||
      dcb.StopBits > TWOSTOPBITS)
    return false;
  // 1.5 stop bits go with 5 data bits only, 2 stop bits with 6 to 8.
  if (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) return false;
  if (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) return false;
  if ((dcb.fOutX || dcb.fInX) && dcb.XonChar == dcb.XoffChar) return false;
  return true;
}

}  // namespace platform::detail

namespace {

// ---- Plain files ----

class FileObject : public Object {
 public:
  // `delete_path`: the file removed at the close (FILE_FLAG_DELETE_ON_CLOSE), while still held.
  FileObject(int fd, std::string delete_path)
      : Object(Kind::File), fd_(fd), delete_path_(std::move(delete_path)) {}
  ~FileObject() override {
    if (fd_ >= 0) Close();
  }
  bool Close() override {
    if (!delete_path_.empty()) ::unlink(delete_path_.c_str());
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  BOOL Transfer(bool write, void* buffer, DWORD size, LPDWORD count, LPOVERLAPPED ov) {
    ssize_t n;
    if (ov) {
      off_t offset =
          static_cast<off_t>((static_cast<std::uint64_t>(ov->OffsetHigh) << 32) | ov->Offset);
      n = write ? ::pwrite(fd_, buffer, size, offset) : ::pread(fd_, buffer, size, offset);
    } else {
      n = write ? ::write(fd_, buffer, size) : ::read(fd_, buffer, size);
    }
    DWORD error = n < 0 ? ErrorFromErrno(errno) : ERROR_SUCCESS;
    if (count) *count = n < 0 ? 0 : static_cast<DWORD>(n);
    if (ov) {
      Lock lock(Mutex());
      ov->Internal = kDoneFlag | error;
      ov->InternalHigh = n < 0 ? 0 : static_cast<ULONG_PTR>(n);
      if (ov->hEvent) SignalEventHandle(ov->hEvent);
      NotifyChanged();
    }
    return error ? Fail(error) : TRUE;
  }

 private:
  int fd_;
  std::string delete_path_;
};

// How often an open without sharing is made again when the file it locked had been removed
// meanwhile by a holder that deleted it at its close.
constexpr int kUnsharedOpenAttempts = 10;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An open without sharing holds the file (flock) against every other open without sharing, in
// this process and others; the kernel lets go when the holder ends, however it ends. The lock
// counts only when it is on the file the path names once it is held.
int OpenUnshared(const std::string& path, int flags) {
  for (int attempt = 0; attempt < kUnsharedOpenAttempts; ++attempt) {
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      int err = errno;
      ::close(fd);
      errno = err;
      return -1;
    }
    struct stat held {
    }, there{};
    if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &there) == 0 && SameFile(held, there))
      return fd;
    ::close(fd);
  }
  errno = EWOULDBLOCK;
  return -1;
}

HANDLE OpenFile(const std::string& name, DWORD access, DWORD share, DWORD disposition,
                DWORD attributes) {
  std::string path = platform::MapPath(name);
  int flags = O_CLOEXEC;
  bool read = access & GENERIC_READ, write = access & GENERIC_WRITE;
  flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  switch (disposition) {
    case CREATE_NEW:
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      flags |= O_CREAT | O_TRUNC;
      break;
    case OPEN_EXISTING:
      break;
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      flags |= O_TRUNC;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
  }
  struct stat st;
  bool existed = ::stat(path.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  int fd = share == 0 ? OpenUnshared(path, flags) : ::open(path.c_str(), flags, 0666);
  if (fd < 0) {
    SetLastError(OpenErrorFromErrno(errno, path));
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_shared<FileObject>(
      fd, attributes & FILE_FLAG_DELETE_ON_CLOSE ? path : std::string());
  file->path = name;
  SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
                   ? ERROR_ALREADY_EXISTS
                   : ERROR_SUCCESS);
  return NewHandle(file);
}

// ---- Comm ----

HANDLE OpenComm(const std::string& name, bool overlapped) {
  int number = ComNumber(name);
  if (number == 0) {
    SetLastError(name.size() <= 4 ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::shared_ptr<Object> port;
  if (SimAttached(number)) {
    port = OpenSimPort(number, name, overlapped);
  } else {
    std::string device = platform::ComDevicePath("COM" + std::to_string(number));
    if (device.empty()) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    port = OpenTtyPort(device, name, overlapped);
  }
  if (!port) return INVALID_HANDLE_VALUE;
  SetLastError(ERROR_SUCCESS);
  return NewHandle(port);
}

BOOL CommIo(const std::shared_ptr<CommObject>& port, const std::shared_ptr<IoOp>& op, LPDWORD count,
            LPOVERLAPPED ov) {
  if (port->overlapped && !ov) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  op->overlapped = ov;
  if (ov) {
    ov->Internal = kPending;
    ov->InternalHigh = 0;
    if (ov->hEvent) ResetEventHandle(ov->hEvent);
  }
  if (!port->Start(op)) {
    DWORD error = GetLastError();
    if (ov) ov->Internal = kDoneFlag | error;
    return FALSE;
  }
  if (!port->overlapped)
    WaitUntil(
        lock, [&] { return op->complete; }, kForever, port->VirtualTime());
  if (!op->complete) return Fail(ERROR_IO_PENDING);
  if (count) *count = op->type == IoOp::WaitEvent ? 0 : op->done;
  return op->error ? Fail(op->error) : TRUE;
}

std::shared_ptr<CommObject> Port(HANDLE handle, const char* call) {
  auto port = LookupAs<CommObject>(handle, Kind::Comm);
  if (!port || Faulted(call, handle)) return nullptr;
  return port;
}

}  // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  if (!lpFileName || !*lpFileName) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string name = lpFileName;
  if (Faulted("CreateFileA", name)) return INVALID_HANDLE_VALUE;
  if (name.rfind("\\\\.\\", 0) == 0 || ComNumber(name) != 0)
    return OpenComm(name, dwFlagsAndAttributes & FILE_FLAG_OVERLAPPED);
  return OpenFile(name, dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes);
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto object = Lookup(hFile);
  if (!object || Faulted("ReadFile", hFile)) return FALSE;
  if (!lpBuffer && nNumberOfBytesToRead) return Fail(ERROR_INVALID_PARAMETER);
  if (object->kind == Kind::File)
    return static_cast<FileObject&>(*object).Transfer(false, lpBuffer, nNumberOfBytesToRead,
                                                      lpNumberOfBytesRead, lpOverlapped);
  if (object->kind != Kind::Comm) return Fail(ERROR_INVALID_HANDLE);
  auto port = std::static_pointer_cast<CommObject>(object);
  auto op = std::make_shared<IoOp>();
  op->type = IoOp::Read;
  op->read_buffer = static_cast<BYTE*>(lpBuffer);
  op->size = nNumberOfBytesToRead;
  {
    Lock lock(Mutex());
    InitRead(*op, port->timeouts, port->Now());
  }
  return CommIo(port, op, lpNumberOfBytesRead, lpOverlapped);
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  auto object = Lookup(hFile);
  if (!object || Faulted("WriteFile", hFile)) return FALSE;
  if (!lpBuffer && nNumberOfBytesToWrite) return Fail(ERROR_INVALID_PARAMETER);
  if (object->kind == Kind::File)
    return static_cast<FileObject&>(*object).Transfer(true, const_cast<void*>(lpBuffer),
                                                      nNumberOfBytesToWrite, lpNumberOfBytesWritten,
                                                      lpOverlapped);
  if (object->kind != Kind::Comm) return Fail(ERROR_INVALID_HANDLE);
  auto port = std::static_pointer_cast<CommObject>(object);
  auto op = std::make_shared<IoOp>();
  op->type = IoOp::Write;
  op->write_buffer = static_cast<const BYTE*>(lpBuffer);
  op->size = nNumberOfBytesToWrite;
  {
    Lock lock(Mutex());
    InitWrite(*op, port->timeouts, port->Now());
  }
  return CommIo(port, op, lpNumberOfBytesWritten, lpOverlapped);
}

BOOL GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped,
                         LPDWORD lpNumberOfBytesTransferred, BOOL bWait) {
  auto object = Lookup(hFile);
  if (!object || Faulted("GetOverlappedResult", hFile)) return FALSE;
  if (object->kind != Kind::Comm && object->kind != Kind::File) return Fail(ERROR_INVALID_HANDLE);
  if (!lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
  bool virtual_time = object->kind != Kind::Comm || static_cast<CommObject&>(*object).VirtualTime();
  Lock lock(Mutex());
  if (lpOverlapped->Internal == kPending) {
    if (!bWait) return Fail(ERROR_IO_INCOMPLETE);
    WaitUntil(
        lock, [&] { return lpOverlapped->Internal != kPending; }, kForever, virtual_time);
  }
  if (lpNumberOfBytesTransferred)
    *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
  DWORD error = static_cast<DWORD>(lpOverlapped->Internal & ~kDoneFlag);
  return error ? Fail(error) : TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
  if (!Lookup(hObject) || Faulted("CloseHandle", hObject)) return FALSE;
  bool last = false, found = false;
  auto object = RemoveHandle(hObject, last, found);
  if (!found) return Fail(ERROR_INVALID_HANDLE);
  if (last && !object->Close()) return Fail(ERROR_GEN_FAILURE);
  return TRUE;
}

// ---- Serial communications ----

BOOL GetCommState(HANDLE hFile, LPDCB lpDCB) {
  auto port = Port(hFile, "GetCommState");
  if (!port) return FALSE;
  if (!lpDCB) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  return port->GetState(*lpDCB);
}

BOOL SetCommState(HANDLE hFile, LPDCB lpDCB) {
  auto port = Port(hFile, "SetCommState");
  if (!port) return FALSE;
  if (!lpDCB || !ValidDcb(*lpDCB)) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  return port->SetState(*lpDCB);
}

BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
  auto port = Port(hFile, "SetupComm");
  if (!port) return FALSE;
  Lock lock(Mutex());
  return port->Setup(dwInQueue, dwOutQueue);
}

BOOL GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
  auto port = Port(hFile, "GetCommTimeouts");
  if (!port) return FALSE;
  if (!lpCommTimeouts) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  *lpCommTimeouts = port->timeouts;
  return TRUE;
}

BOOL SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
  auto port = Port(hFile, "SetCommTimeouts");
  if (!port) return FALSE;
  if (!lpCommTimeouts) return Fail(ERROR_INVALID_PARAMETER);
  const COMMTIMEOUTS& t = *lpCommTimeouts;
  if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
      t.ReadTotalTimeoutConstant == MAXDWORD)
    return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  port->timeouts = t;
  return TRUE;
}

BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) {
  auto port = Port(hFile, "PurgeComm");
  if (!port) return FALSE;
  constexpr DWORD all = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
  if (dwFlags == 0 || (dwFlags & ~all)) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  return port->Purge(dwFlags);
}

BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
  auto port = Port(hFile, "EscapeCommFunction");
  if (!port) return FALSE;
  if (dwFunc < SETXOFF || dwFunc > CLRBREAK || dwFunc == 7) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  return port->Escape(dwFunc);
}

BOOL GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) {
  auto port = Port(hFile, "GetCommModemStatus");
  if (!port) return FALSE;
  if (!lpModemStat) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  return port->ModemStatus(*lpModemStat);
}

BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
  auto port = Port(hFile, "SetCommMask");
  if (!port) return FALSE;
  Lock lock(Mutex());
  return port->SetMask(dwEvtMask);
}

BOOL GetCommMask(HANDLE hFile, LPDWORD lpEvtMask) {
  auto port = Port(hFile, "GetCommMask");
  if (!port) return FALSE;
  if (!lpEvtMask) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  *lpEvtMask = port->mask;
  return TRUE;
}

BOOL WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) {
  auto port = Port(hFile, "WaitCommEvent");
  if (!port) return FALSE;
  if (!lpEvtMask) return Fail(ERROR_INVALID_PARAMETER);
  {
    Lock lock(Mutex());
    if (port->mask == 0) return Fail(ERROR_INVALID_PARAMETER);
  }
  auto op = std::make_shared<IoOp>();
  op->type = IoOp::WaitEvent;
  op->mask_out = lpEvtMask;
  return CommIo(port, op, nullptr, lpOverlapped);
}
