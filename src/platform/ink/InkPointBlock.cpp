#include "InkPointBlock.h"

#include "platform/HugePages.h"

#include <new>

InkPointBlock::InkPointBlock(std::size_t count) : m_count(count)
{
    const std::size_t bytes = count * sizeof(InkPoint);
    if (bytes < HugePages::Size) {
        m_points = static_cast<InkPoint*>(::operator new(bytes == 0 ? sizeof(InkPoint) : bytes));
        return;
    }
    // Aligned and rounded up to whole huge pages, so that every byte of the points can be on them.
    const std::size_t rounded = HugePages::roundUp(bytes);
    m_alignment = HugePages::Size;
    m_points = static_cast<InkPoint*>(::operator new(rounded, std::align_val_t(m_alignment)));
    HugePages::advise(m_points, rounded);
}

InkPointBlock::~InkPointBlock()
{
    if (m_alignment != 0)
        ::operator delete(m_points, std::align_val_t(m_alignment));
    else
        ::operator delete(m_points);
}
