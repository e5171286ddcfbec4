#pragma once

#include "InkPoint.h"

#include <cstddef>

// The points of every stroke of a drawing read at once, in one allocation that those strokes share (each keeps
// the block alive and views its own run of it). One allocation instead of one per stroke, and for a large
// drawing one on huge pages (see HugePages), makes reading a large drawing several times faster. The points are
// not initialised: the reader writes every one before any stroke sees it.
class InkPointBlock {
public:
    explicit InkPointBlock(std::size_t count);
    ~InkPointBlock();
    InkPointBlock(const InkPointBlock&) = delete;
    InkPointBlock& operator=(const InkPointBlock&) = delete;

    InkPoint* data() { return m_points; }
    const InkPoint* data() const { return m_points; }
    std::size_t size() const { return m_count; }
    // Whether the block was allocated on huge-page boundaries: large blocks are, small ones are not.
    bool isHugePageAligned() const { return m_alignment != 0; }

private:
    std::size_t m_count = 0;
    std::size_t m_alignment = 0;
    InkPoint* m_points = nullptr;
};
