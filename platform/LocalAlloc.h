#pragma once
// Memory blocks handed across a library boundary, as the remote-invocation answer buffers are:
// the callee allocates with LocalAlloc, the caller releases with LocalFree.
#include <cstddef>

extern "C" {
enum : unsigned { LMEM_FIXED = 0x0, LMEM_ZEROINIT = 0x40, LPTR = 0x40 };
void* LocalAlloc(unsigned flags, size_t bytes);   // nullptr on failure or above 4 GiB
void* LocalFree(void* block);                     // nullptr on success
}
