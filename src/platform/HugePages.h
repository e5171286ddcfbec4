#pragma once

#include <cstddef>

// Large buffers that are written whole right after they are allocated. The kernel hands out fresh memory a
// 4 KiB page at a time, one fault each, and on a virtual machine a fault costs more than filling the page does:
// a 16 MB drawing read or written that way spends most of its time faulting. Asking for transparent huge pages
// turns those thousands of faults into a handful.
class HugePages {
public:
    static constexpr std::size_t Size = std::size_t(2) * 1024 * 1024;

    // Asks for huge pages over the whole huge pages inside the bytes (none when the bytes hold no whole one) and
    // returns how many bytes that covers. Only a hint: memory already in use stays as it is, and a kernel without
    // transparent huge pages refuses quietly, which costs nothing but the speed.
    static std::size_t advise(void* data, std::size_t bytes);
    // The bytes rounded up to a whole number of huge pages.
    static std::size_t roundUp(std::size_t bytes) { return (bytes + Size - 1) / Size * Size; }
};
