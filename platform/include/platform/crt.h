// The run-time library's calls whose Windows behaviour differs from glibc's.
#pragma once

#include <cstdint>
#include <cstdio>

namespace crt {

// fopen with Windows semantics: the path (CP1251) is mapped through the prefix; a stream that is
// not opened in binary mode ("b") is a text stream: each "\n" written reaches the file as
// "\r\n", and "\r\n" read back becomes "\n". Close it with the ordinary fclose.
//
// Departs from Windows: a stream created with "w" writes the file by replacement
// (platform/file_replace.h). Its fclose puts the new file in place of the old one only when every
// write, the flush and the close succeeded, and returns EOF with errno set otherwise; until then,
// and after a failure, the old file stays as it was. Without a successful fclose nothing changes
// on disk. Appending ("a") and updating ("r+") write the file itself.
FILE* fopen(const char* path, const char* mode);

// Closes a stream without putting what it wrote in place: a "w" stream's old file stays as it
// was. Other streams are simply closed. The result is fclose's.
int fdiscard(FILE* stream);

// The run-time library's thread start: a thread handle (close it with CloseHandle, wait on it
// with WaitForSingleObject), 0 on failure.
std::uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned (*start_address)(void*),
                              void* arglist, unsigned initflag, unsigned* thrdaddr);

// Keeps the heap memory the program frees for its next allocations, up to tens of megabytes,
// instead of handing large blocks back to the system at once: a program that builds and drops
// texts of megabytes then does not fault in fresh pages for each of them. Called once at start.
void KeepFreedHeapMemory();

}  // namespace crt
