#include "HugePages.h"

#include <sys/mman.h>

#include <cstdint>

std::size_t HugePages::advise(void* data, std::size_t bytes)
{
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + Size - 1) / Size * Size;
    const std::uintptr_t last = (start + bytes) / Size * Size;
    if (last <= first)
        return 0;
    // A refusal leaves ordinary pages, which work the same; there is nothing to report.
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    return last - first;
}
