#include "platform/ink/InkPointBlock.h"
#include "HugePageAdvice.h"
#include "InkTestDrawings.h"
#include "platform/HugePages.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

// The number of points that fill exactly one huge page.
constexpr size_t PointsPerHugePage = HugePages::Size / sizeof(InkPoint);

InkDrawing readBack(const InkDrawing& drawing)
{
    const auto bytes = InkWriter::encode(drawing);
    EXPECT_TRUE(bytes.has_value());
    InkDecodeResult result = InkReader::decode(bytes.value_or(QByteArray()));
    EXPECT_TRUE(result.ok());
    return result.drawing.value_or(InkDrawing());
}

// A drawing of one stroke per thousand points (the last one takes the rest), every point distinct.
InkDrawing drawingOf(size_t points)
{
    InkDrawing drawing;
    InkStroke stroke(InkKind::Pen, Qt::black, 2.0f);
    for (size_t i = 0; i < points; ++i) {
        stroke.append({float(i % 1000), float(i / 1000), 0.5f, float(i % 1000) * 0.01f});
        if (i % 1000 == 999 || i + 1 == points) {
            drawing.append(stroke);
            stroke = InkStroke(InkKind::Pen, Qt::black, 2.0f);
        }
    }
    return drawing;
}

} // namespace

TEST(InkPointBlock, onlyBlocksOfAWholeHugePageAreAlignedForIt)
{
    const InkPointBlock below(PointsPerHugePage - 1);
    EXPECT_FALSE(below.isHugePageAligned());
    EXPECT_EQ(below.size(), PointsPerHugePage - 1);

    InkPointBlock exact(PointsPerHugePage);
    ASSERT_TRUE(exact.isHugePageAligned());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(exact.data()) % HugePages::Size, 0u);
    // Every point of the block is writable (the sanitizer build checks the bounds).
    exact.data()[PointsPerHugePage - 1] = InkPoint{1.0f, 2.0f, 0.5f, 0.0f};
    EXPECT_EQ(exact.data()[PointsPerHugePage - 1].y, 2.0f);
}

TEST(InkPointBlock, largeBlocksAndLargeWrittenDrawingsAskForHugePages)
{
    if (!kernelHasHugePages())
        GTEST_SKIP() << "this kernel has no transparent huge pages";
    const InkPointBlock large(PointsPerHugePage);
    EXPECT_TRUE(hasHugePageAdvice(large.data()));
    EXPECT_TRUE(hasHugePageAdvice(large.data() + PointsPerHugePage - 1));

    // Two huge pages of points: the written bytes hold at least one whole huge page.
    const auto bytes = InkWriter::encode(drawingOf(2 * PointsPerHugePage));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(hasHugePageAdvice(bytes->constData() + bytes->size() / 2));
}

TEST(InkPointBlock, emptyBlockHasNoPoints)
{
    const InkPointBlock empty(0);
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_FALSE(empty.isHugePageAligned());

    // A stroke given none of a block's points holds none, and keeps no bounds of what it held before.
    const auto block = std::make_shared<InkPointBlock>(1);
    block->data()[0] = InkPoint{50.0f, 50.0f, 1.0f, 0.0f};
    InkStroke stroke = inkStroke({{10, 10}, {20, 20}});
    stroke.adoptPoints(block, 0, 0);
    EXPECT_TRUE(stroke.isEmpty());
    EXPECT_TRUE(stroke.bounds().isNull());
}

TEST(InkPointBlock, drawingsEitherSideOfAHugePageReadBackWhole)
{
    for (const size_t points : {PointsPerHugePage - 1, PointsPerHugePage}) {
        const InkDrawing drawing = drawingOf(points);
        const InkDrawing read = readBack(drawing);
        EXPECT_EQ(read.pointCount(), points);
        EXPECT_EQ(read, drawing) << points << " points";
    }
}

TEST(InkSharedPoints, appendingToAReadStrokeLeavesItsNeighboursAndCopiesAlone)
{
    const InkDrawing drawn = inkDrawing({inkStroke({{0, 0}, {10, 0}}), inkStroke({{20, 20}, {30, 30}, {40, 40}})});
    const InkDrawing read = readBack(drawn);
    ASSERT_EQ(read.strokeCount(), 2u);
    const InkStroke untouched = read.strokes()[0];

    InkStroke grown = read.strokes()[0];
    grown.append({50.0f, 5.0f, 1.0f, 1.0f});

    ASSERT_EQ(grown.points().size(), 3u);
    EXPECT_EQ(grown.points()[0], drawn.strokes()[0].points()[0]);
    EXPECT_EQ(grown.points()[1], drawn.strokes()[0].points()[1]);
    EXPECT_EQ(grown.points()[2].position(), QPointF(50, 5));
    EXPECT_TRUE(grown.bounds().contains(QPointF(50, 5)));
    // The stroke it was copied from, the copy made before and the next stroke of the block are as read.
    EXPECT_EQ(read.strokes()[0], drawn.strokes()[0]);
    EXPECT_EQ(untouched, drawn.strokes()[0]);
    EXPECT_EQ(read.strokes()[1], drawn.strokes()[1]);
}

TEST(InkSharedPoints, aPointAppendedToAReadStrokeNeverRunsBackInTime)
{
    InkStroke stroke = readBack(inkDrawing({inkStroke({{0, 0}, {10, 0}, {20, 0}})})).strokes()[0];
    const float last = stroke.points().back().time;
    ASSERT_GT(last, 0.0f);
    stroke.append({30.0f, 0.0f, 1.0f, 0.0f});
    EXPECT_EQ(stroke.points().back().time, last);
}

TEST(InkSharedPoints, aStrokeOutlivesTheDrawingItWasReadWith)
{
    InkStroke kept;
    {
        const InkDrawing read = readBack(inkDrawing({inkStroke({{1, 2}, {3, 4}}), inkStroke({{5, 6}, {7, 8}})}));
        kept = read.strokes()[1];
    }
    // The block stays with the stroke (the sanitizer build reports any use after it is freed).
    ASSERT_EQ(kept.points().size(), 2u);
    EXPECT_EQ(kept.points()[1].position(), QPointF(7, 8));
    EXPECT_TRUE(kept.hits(QPointF(6, 7), 0.5));
}

TEST(InkSharedPoints, readStrokesCompareHitAndMeasureAsDrawnOnes)
{
    const InkDrawing drawn =
        inkDrawing({inkStroke({{0, 0}, {100, 0}}, 4.0f), inkStroke({{0, 50}}, 6.0f, Qt::red, InkKind::Marker)});
    const InkDrawing read = readBack(drawn);
    EXPECT_EQ(read, drawn);
    EXPECT_EQ(read.bounds(), drawn.bounds());
    EXPECT_EQ(read.strokeAt(QPointF(50, 1), 0.0), 0);
    EXPECT_EQ(read.strokeAt(QPointF(0, 52), 0.0), 1);
    EXPECT_EQ(read.strokeAt(QPointF(50, 30), 1.0), -1);
    // One point fewer is another stroke.
    InkDrawing shorter = inkDrawing({inkStroke({{0, 0}}, 4.0f), drawn.strokes()[1]});
    EXPECT_NE(read, shorter);
}

TEST(InkSharedPoints, hitsFollowTheLineNotItsBoundsAndStopAtTheStrokesEnd)
{
    // Two strokes read into one block: the way from the end of the first to the start of the second, which runs
    // back through the first one's bounds, is no ink.
    const InkDrawing read =
        readBack(inkDrawing({inkStroke({{0, 0}, {100, 100}}, 2.0f), inkStroke({{100, 0}, {200, 0}}, 2.0f)}));
    const InkStroke& diagonal = read.strokes()[0];
    EXPECT_TRUE(diagonal.hits(QPointF(50, 50), 1.0));
    // Inside the diagonal's bounds, far from its line.
    EXPECT_FALSE(diagonal.hits(QPointF(90, 10), 1.0));
    EXPECT_FALSE(diagonal.hits(QPointF(100, 10), 1.0));
    EXPECT_EQ(read.strokeAt(QPointF(100, 10), 1.0), -1);
    EXPECT_EQ(read.strokeAt(QPointF(150, 0), 1.0), 1);
}

TEST(InkSharedPoints, uniformPressureIsKnownForDrawnAndReadStrokes)
{
    const InkStroke even = inkStroke({{0, 0}, {10, 0}, {20, 0}}, 4.0f, Qt::black, InkKind::Pen, 0.5f);
    EXPECT_TRUE(even.hasUniformPressure());
    InkStroke uneven = even;
    uneven.append({30.0f, 0.0f, 0.75f, 1.0f});
    EXPECT_FALSE(uneven.hasUniformPressure());
    const InkDrawing read = readBack(inkDrawing({even, uneven}));
    EXPECT_TRUE(read.strokes()[0].hasUniformPressure());
    EXPECT_FALSE(read.strokes()[1].hasUniformPressure());
}
