#include "platform/HugePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

constexpr std::size_t Huge = HugePages::Size;

// An address on a huge-page boundary; advise only ever touches the range it is given, and these tests hand it
// ranges of a real mapping large enough to hold them.
struct AlignedSpace {
    AlignedSpace() : storage(new char[4 * Huge])
    {
        const auto at = reinterpret_cast<std::uintptr_t>(storage.get());
        aligned = storage.get() + ((at + Huge - 1) / Huge * Huge - at);
    }
    std::unique_ptr<char[]> storage;
    char* aligned = nullptr;
};

} // namespace

TEST(HugePages, coversOnlyWholeHugePagesInside)
{
    AlignedSpace space;
    // Exactly one huge page, from its boundary: all of it.
    EXPECT_EQ(HugePages::advise(space.aligned, Huge), Huge);
    // One byte short of it: none.
    EXPECT_EQ(HugePages::advise(space.aligned, Huge - 1), 0u);
    // One byte past the boundary, two pages long: only the second page is whole.
    EXPECT_EQ(HugePages::advise(space.aligned + 1, 2 * Huge), Huge);
    // One byte before a boundary, running one page and a byte: the page after the boundary is whole.
    EXPECT_EQ(HugePages::advise(space.aligned + Huge - 1, Huge + 1), Huge);
    // Three whole pages from a boundary.
    EXPECT_EQ(HugePages::advise(space.aligned, 3 * Huge), 3 * Huge);
}

TEST(HugePages, smallBuffersAreLeftAlone)
{
    char small[64];
    EXPECT_EQ(HugePages::advise(small, sizeof small), 0u);
    EXPECT_EQ(HugePages::advise(small, 0), 0u);
}

TEST(HugePages, roundUpGivesWholePages)
{
    EXPECT_EQ(HugePages::roundUp(0), 0u);
    EXPECT_EQ(HugePages::roundUp(1), Huge);
    EXPECT_EQ(HugePages::roundUp(Huge), Huge);
    EXPECT_EQ(HugePages::roundUp(Huge + 1), 2 * Huge);
}
