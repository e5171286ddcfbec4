#include "platform/HugePages.h"
#include "HugePageAdvice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sys/mman.h>

namespace {

constexpr std::size_t Huge = HugePages::Size;

// A fresh mapping of its own (never advised before) with a huge-page boundary inside; advise only ever touches the
// range it is given, and these tests hand it ranges inside the mapping.
struct AlignedSpace {
    static constexpr std::size_t Length = 5 * Huge;
    AlignedSpace() : mapping(mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))
    {
        const auto at = reinterpret_cast<std::uintptr_t>(mapping);
        aligned = static_cast<char*>(mapping) + ((at + Huge - 1) / Huge * Huge - at);
    }
    ~AlignedSpace() { munmap(mapping, Length); }
    void* mapping;
    char* aligned = nullptr;
};

} // namespace

TEST(HugePages, coversOnlyWholeHugePagesInside)
{
    AlignedSpace space;
    ASSERT_NE(space.mapping, MAP_FAILED);
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

TEST(HugePages, adviceReachesTheKernelForTheWholePagesOnly)
{
    if (!kernelHasHugePages())
        GTEST_SKIP() << "this kernel has no transparent huge pages";
    AlignedSpace space;
    ASSERT_NE(space.mapping, MAP_FAILED);
    ASSERT_EQ(HugePages::advise(space.aligned + Huge, Huge), Huge);
    EXPECT_TRUE(hasHugePageAdvice(space.aligned + Huge));
    EXPECT_TRUE(hasHugePageAdvice(space.aligned + 2 * Huge - 1));
    // The pages on either side were not advised.
    EXPECT_FALSE(hasHugePageAdvice(space.aligned + Huge - 1));
    EXPECT_FALSE(hasHugePageAdvice(space.aligned + 2 * Huge));
}
