#pragma once
// Memory blocks handed across a library boundary, as the remote-invocation answer buffers are:
// the callee allocates with LocalAlloc, the caller releases with LocalFree.
#include <cstddef>

#include "platform/PlatformExport.h"

extern "C" {
enum : unsigned { LMEM_FIXED = 0x0, LMEM_ZEROINIT = 0x40, LPTR = 0x40 };
QUILLMAR_PLATFORM_EXPORT void* LocalAlloc(unsigned flags, size_t bytes);   // nullptr on failure or above 4 GiB
QUILLMAR_PLATFORM_EXPORT void* LocalFree(void* block);                     // nullptr on success
}
