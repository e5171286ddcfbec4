#include "platform/ink/InkFormat.h"
#include "InkTestDrawings.h"
#include "platform/ink/InkLimits.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkWriter.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace {

// Header 24, one stroke record 16, one point record 16, trailer 4: the layout the format documents.
constexpr qsizetype Header = 24;
constexpr qsizetype StrokeRecord = 16;
constexpr qsizetype PointRecord = 16;
constexpr qsizetype Trailer = 4;

InkDrawing sampleDrawing()
{
    InkStroke pen(InkKind::Pen, QColor(10, 20, 30, 200), 2.5f);
    pen.append({1.5f, -2.25f, 0.3f, 0.0f});
    pen.append({100.0f, 50.0f, 0.75f, 0.125f});
    pen.append({-999999.0f, 999999.0f, 0.0f, 0.5f});
    InkStroke marker = inkStroke({{5, 5}}, 20.0f, QColor(255, 200, 0), InkKind::Marker, 0.5f);
    return inkDrawing({pen, marker});
}

QByteArray encoded(const InkDrawing& drawing)
{
    const auto bytes = InkWriter::encode(drawing);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(QByteArray());
}

// Puts a fresh checksum on altered bytes, so that a test reaches the checks behind the checksum.
QByteArray resealed(QByteArray bytes)
{
    const qsizetype body = bytes.size() - Trailer;
    qToLittleEndian(InkFormat::checksum(QByteArrayView(bytes).first(body)), bytes.data() + body);
    return bytes;
}

void putFloat(QByteArray& bytes, qsizetype offset, float value)
{
    qToLittleEndian(std::bit_cast<quint32>(value), bytes.data() + offset);
}

void putU32(QByteArray& bytes, qsizetype offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

// Offset of the first point record of a drawing with the given number of strokes.
qsizetype firstPoint(qsizetype strokes)
{
    return Header + strokes * StrokeRecord;
}

InkDecodeError errorOf(const QByteArray& bytes)
{
    const InkDecodeResult result = InkReader::decode(bytes);
    EXPECT_EQ(result.ok(), result.error == InkDecodeError::None);
    return result.error;
}

} // namespace

TEST(InkFormat, roundTripKeepsEveryValueAndTheSameBytes)
{
    const InkDrawing drawing = sampleDrawing();
    const QByteArray bytes = encoded(drawing);
    const InkDecodeResult result = InkReader::decode(bytes);
    ASSERT_TRUE(result.ok()) << describeInkDecodeError(result.error).toStdString();
    EXPECT_EQ(*result.drawing, drawing);
    EXPECT_EQ(result.drawing->strokes()[0].color(), QColor(10, 20, 30, 200));
    EXPECT_EQ(result.drawing->strokes()[1].kind(), InkKind::Marker);
    EXPECT_EQ(encoded(*result.drawing), bytes);
}

TEST(InkFormat, sizeIsHeaderRecordsAndTrailer)
{
    EXPECT_EQ(encoded(InkDrawing()).size(), Header + Trailer);
    EXPECT_EQ(encoded(sampleDrawing()).size(), Header + 2 * StrokeRecord + 4 * PointRecord + Trailer);
}

TEST(InkFormat, headerHoldsMagicVersionAndCountsLittleEndian)
{
    const QByteArray bytes = encoded(sampleDrawing());
    EXPECT_EQ(bytes.left(8), QByteArray("\x89INK\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.mid(8, 2), QByteArray("\x01\x00", 2));
    EXPECT_EQ(bytes.mid(12, 4), QByteArray("\x02\x00\x00\x00", 4));
    EXPECT_EQ(bytes.mid(16, 4), QByteArray("\x04\x00\x00\x00", 4));
    // The pen's colour, ARGB: alpha 200 (0xC8), red 10, green 20, blue 30.
    EXPECT_EQ(bytes.mid(Header + 4, 4), QByteArray("\x1e\x14\x0a\xc8", 4));
}

TEST(InkFormat, checksumIsStandardCrc32)
{
    // The check value every CRC-32 (IEEE) implementation gives for these nine digits.
    EXPECT_EQ(InkFormat::checksum("123456789"), 0xCBF43926u);
}

TEST(InkFormat, readsBytesWrittenByAnotherWriter)
{
    // Written with Python's struct and zlib.crc32 from the documented layout: one pen stroke, opaque black,
    // width 3, one point at (10, 10) with pressure 1 at time 0.
    const QByteArray bytes = QByteArray::fromHex("89494e4b0d0a1a0a010000000100000001000000000000000000000000000"
                                                 "0ff000040400100000000002041000020410000803f000000004e8cb936");
    const InkDecodeResult result = InkReader::decode(bytes);
    ASSERT_TRUE(result.ok()) << describeInkDecodeError(result.error).toStdString();
    ASSERT_EQ(result.drawing->strokeCount(), 1u);
    const InkStroke& stroke = result.drawing->strokes()[0];
    EXPECT_EQ(stroke.kind(), InkKind::Pen);
    EXPECT_EQ(stroke.color(), QColor(Qt::black));
    EXPECT_EQ(stroke.width(), 3.0f);
    ASSERT_EQ(stroke.points().size(), 1u);
    EXPECT_EQ(stroke.points()[0], (InkPoint{10.0f, 10.0f, 1.0f, 0.0f}));
    EXPECT_EQ(encoded(*result.drawing), bytes);
}

TEST(InkFormat, emptyDrawingRoundTrips)
{
    const InkDecodeResult result = InkReader::decode(encoded(InkDrawing()));
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.drawing->isEmpty());
}

TEST(InkFormatHostile, everyTruncationIsRefused)
{
    const QByteArray bytes = encoded(sampleDrawing());
    // Cut short once the magic is whole, the bytes are still known for a drawing, a damaged one.
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const InkDecodeError expected =
            length < qsizetype(sizeof InkFormat::Magic) ? InkDecodeError::NotInkData : InkDecodeError::WrongSize;
        EXPECT_EQ(errorOf(bytes.left(length)), expected) << length << " bytes";
    }
}

TEST(InkFormatHostile, trailingBytesAreRefused)
{
    EXPECT_EQ(errorOf(encoded(sampleDrawing()) + '\0'), InkDecodeError::WrongSize);
}

TEST(InkFormatHostile, everyFlippedBitIsRefused)
{
    const QByteArray bytes = encoded(sampleDrawing());
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray damaged = bytes;
            damaged[at] = char(damaged[at] ^ (1 << bit));
            EXPECT_FALSE(InkReader::decode(damaged).ok()) << "byte " << at << " bit " << bit;
        }
    }
}

TEST(InkFormatHostile, damagedRecordsFailTheChecksum)
{
    QByteArray bytes = encoded(sampleDrawing());
    bytes[firstPoint(2) + 1] = char(bytes[firstPoint(2) + 1] ^ 0x40);
    EXPECT_EQ(errorOf(bytes), InkDecodeError::ChecksumMismatch);
}

TEST(InkFormatHostile, foreignBytesAreNotADrawing)
{
    EXPECT_EQ(errorOf(QByteArray()), InkDecodeError::NotInkData);
    EXPECT_EQ(errorOf("{\\rtf1\\ansi hello}"), InkDecodeError::NotInkData);
    EXPECT_EQ(errorOf(QByteArray("bplist00\xd1\x01\x02", 11)), InkDecodeError::NotInkData);
    EXPECT_EQ(errorOf(QByteArray("\x89PNG\r\n\x1a\n", 8)), InkDecodeError::NotInkData);
}

TEST(InkFormatHostile, newerVersionIsRefused)
{
    QByteArray bytes = encoded(sampleDrawing());
    bytes[8] = 2;
    EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::UnsupportedVersion);
}

TEST(InkFormatHostile, countsBeyondTheLimitsAreRefusedBeforeReading)
{
    QByteArray bytes = encoded(InkDrawing());
    putU32(bytes, 12, 0xFFFFFFFFu);
    EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::TooLarge);
    bytes = encoded(InkDrawing());
    putU32(bytes, 12, InkLimits::MaxStrokes + 1);
    EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::TooLarge);
    bytes = encoded(InkDrawing());
    putU32(bytes, 16, InkLimits::MaxPoints + 1);
    EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::TooLarge);
}

TEST(InkFormatHostile, countsWithinTheLimitsButBeyondTheBytesAreRefused)
{
    // At the very limits: a reader that allocated from the counts would ask for hundreds of megabytes here.
    QByteArray bytes = encoded(InkDrawing());
    putU32(bytes, 12, InkLimits::MaxStrokes);
    putU32(bytes, 16, InkLimits::MaxPoints);
    EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::WrongSize);
}

TEST(InkFormatHostile, strokePointCountsThatDoNotAddUpAreRefused)
{
    const QByteArray bytes = encoded(sampleDrawing());
    // The first stroke's count (3) made 4 claims the marker's only point; then the marker has none left.
    QByteArray more = bytes;
    putU32(more, Header + 12, 4);
    EXPECT_FALSE(InkReader::decode(resealed(more)).ok());
    QByteArray fewer = bytes;
    putU32(fewer, Header + 12, 2);
    EXPECT_EQ(errorOf(resealed(fewer)), InkDecodeError::Malformed);
    QByteArray none = bytes;
    putU32(none, Header + 12, 0);
    EXPECT_EQ(errorOf(resealed(none)), InkDecodeError::Malformed);
}

TEST(InkFormatHostile, unknownInkKindAndReservedBytesAreRefused)
{
    QByteArray kind = encoded(sampleDrawing());
    kind[Header] = 7;
    EXPECT_EQ(errorOf(resealed(kind)), InkDecodeError::Malformed);
    QByteArray reserved = encoded(sampleDrawing());
    reserved[Header + 2] = 1;
    EXPECT_EQ(errorOf(resealed(reserved)), InkDecodeError::Malformed);
    QByteArray flags = encoded(sampleDrawing());
    flags[10] = 1;
    EXPECT_EQ(errorOf(resealed(flags)), InkDecodeError::Malformed);
}

TEST(InkFormatHostile, nonFiniteAndAbsurdCoordinatesAreRefused)
{
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         1e30f,
                         -1e30f,
                         std::nextafter(1.0e6f, 2.0e6f)};
    for (const float value : bad) {
        for (const qsizetype field : {0, 4}) {
            QByteArray bytes = encoded(sampleDrawing());
            putFloat(bytes, firstPoint(2) + PointRecord + field, value);
            EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::ValueOutOfRange) << value << " at " << field;
        }
    }
}

TEST(InkFormatHostile, coordinatesExactlyAtTheLimitAreRead)
{
    QByteArray bytes = encoded(sampleDrawing());
    putFloat(bytes, firstPoint(2), 1.0e6f);
    putFloat(bytes, firstPoint(2) + 4, -1.0e6f);
    EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::None);
}

TEST(InkFormatHostile, impossiblePressureTimeAndWidthAreRefused)
{
    QByteArray pressure = encoded(sampleDrawing());
    putFloat(pressure, firstPoint(2) + 8, 1.5f);
    EXPECT_EQ(errorOf(resealed(pressure)), InkDecodeError::ValueOutOfRange);
    // The second point's time before the first's.
    QByteArray time = encoded(sampleDrawing());
    putFloat(time, firstPoint(2) + PointRecord + 12, -1.0f);
    EXPECT_EQ(errorOf(resealed(time)), InkDecodeError::ValueOutOfRange);
    for (const float width : {0.0f, -3.0f, 201.0f, std::numeric_limits<float>::quiet_NaN()}) {
        QByteArray bytes = encoded(sampleDrawing());
        putFloat(bytes, Header + 8, width);
        EXPECT_EQ(errorOf(resealed(bytes)), InkDecodeError::ValueOutOfRange) << width;
    }
}

TEST(InkFormatHostile, pointTimesMayRepeatButNeverRunBackwardsWithinAStroke)
{
    // The pen's points are at 0, 0.125 and 0.5; the marker's single point starts again at 0.
    const qsizetype thirdTime = firstPoint(2) + 2 * PointRecord + 12;
    QByteArray equal = encoded(sampleDrawing());
    putFloat(equal, thirdTime, 0.125f);
    EXPECT_EQ(errorOf(resealed(equal)), InkDecodeError::None);
    QByteArray earlier = encoded(sampleDrawing());
    putFloat(earlier, thirdTime, std::nextafter(0.125f, 0.0f));
    EXPECT_EQ(errorOf(resealed(earlier)), InkDecodeError::ValueOutOfRange);
}

TEST(InkFormatWriter, aPointEarlierThanTheOneBeforeTakesThatPointsTime)
{
    InkStroke stroke(InkKind::Pen, Qt::black, 2.0f);
    stroke.append({0, 0, 1, 0.5f});
    stroke.append({1, 1, 1, 0.25f});
    stroke.append({2, 2, 1, 0.75f});
    ASSERT_EQ(stroke.points().size(), 3u);
    EXPECT_EQ(stroke.points()[1].time, 0.5f);
    EXPECT_EQ(stroke.points()[2].time, 0.75f);
    const InkDecodeResult result = InkReader::decode(encoded(inkDrawing({stroke})));
    ASSERT_TRUE(result.ok()) << describeInkDecodeError(result.error).toStdString();
}

TEST(InkFormatWriter, countsUpToTheLimitsFitAndOneMoreDoesNot)
{
    constexpr size_t Strokes = InkLimits::MaxStrokes;
    constexpr size_t Points = InkLimits::MaxPoints;
    EXPECT_TRUE(InkWriter::fits(Strokes - 1, Points - 1));
    EXPECT_TRUE(InkWriter::fits(Strokes, Points));
    EXPECT_FALSE(InkWriter::fits(Strokes + 1, Points));
    EXPECT_FALSE(InkWriter::fits(Strokes, Points + 1));
    EXPECT_EQ(Strokes, 1000000u);
}

TEST(InkFormatWriter, strokeWithoutPointsIsNotWritten)
{
    InkDrawing drawing;
    drawing.append(InkStroke(InkKind::Pen, Qt::black, 2.0f));
    EXPECT_FALSE(InkWriter::encode(drawing).has_value());
}

TEST(InkFormatWriter, clampedInputAlwaysReadsBack)
{
    // Whatever reaches a stroke is clamped into the limits, so a drawing made from wild input still saves.
    InkStroke stroke(InkKind::Pen, Qt::black, 1e9f);
    stroke.append({std::numeric_limits<float>::quiet_NaN(), 1e30f, 7.0f, -5.0f});
    stroke.append({-1e30f, std::numeric_limits<float>::infinity(), -1.0f, 1e20f});
    const InkDecodeResult result = InkReader::decode(encoded(inkDrawing({stroke})));
    ASSERT_TRUE(result.ok()) << describeInkDecodeError(result.error).toStdString();
    const InkPoint& last = result.drawing->strokes()[0].points()[1];
    EXPECT_EQ(last.x, -1.0e6f);
    EXPECT_EQ(last.y, 1.0e6f);
    EXPECT_EQ(last.pressure, 0.0f);
    EXPECT_EQ(result.drawing->strokes()[0].width(), 200.0f);
}
