// The run-time library's calls whose Windows behaviour differs from glibc's.
#pragma once

#include <cstdint>
#include <cstdio>

namespace crt {

// fopen with Windows semantics: the path (CP1251) is mapped through the prefix; a stream that is
// not opened in binary mode ("b") is a text stream: each "\n" written reaches the file as
// "\r\n", and "\r\n" read back becomes "\n". Close it with the ordinary fclose.
FILE* fopen(const char* path, const char* mode);

// The run-time library's thread start: a thread handle (close it with CloseHandle, wait on it
// with WaitForSingleObject), 0 on failure.
std::uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned (*start_address)(void*),
                              void* arglist, unsigned initflag, unsigned* thrdaddr);

// Keeps the heap memory the program frees for its next allocations, up to tens of megabytes,
// instead of handing large blocks back to the system at once: a program that builds and drops
// texts of megabytes then does not fault in fresh pages for each of them. Called once at start.
void KeepFreedHeapMemory();

}  // namespace crt
