#include "platform/LocalAlloc.h"

#include <cstdlib>

namespace {
// No block handed across a library boundary is this large; asking for one is a corrupt size,
// and refusing it keeps the answer a plain nullptr instead of the allocator's abort.
constexpr size_t kLargestBlock = size_t{1} << 32;
}   // namespace

extern "C" {

void* LocalAlloc(unsigned flags, size_t bytes) {
    if (bytes > kLargestBlock)
        return nullptr;
    // A zero-byte request still yields a block the caller can free, as on Windows.
    const size_t size = bytes == 0 ? 1 : bytes;
    return (flags & LMEM_ZEROINIT) ? std::calloc(1, size) : std::malloc(size);
}

void* LocalFree(void* block) {
    std::free(block);
    return nullptr;
}
}
