#include "InkReader.h"

#include "InkLimits.h"
#include "InkPointBlock.h"

#include <QtEndian>

#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <span>

namespace {

quint16 u16At(const char* at)
{
    return qFromLittleEndian<quint16>(at);
}

quint32 u32At(const char* at)
{
    return qFromLittleEndian<quint32>(at);
}

float f32At(const char* at)
{
    return std::bit_cast<float>(u32At(at));
}

bool within(float value, float low, float high)
{
    // Also false for NaN, which compares false with everything.
    return value >= low && value <= high;
}

} // namespace

bool InkReader::hasMagic(QByteArrayView bytes)
{
    return bytes.size() >= qsizetype(sizeof InkFormat::Magic) &&
           std::memcmp(bytes.data(), InkFormat::Magic, sizeof InkFormat::Magic) == 0;
}

InkDecodeResult InkReader::decode(QByteArrayView bytes)
{
    Header header;
    if (const InkDecodeError error = readHeader(bytes, header); error != InkDecodeError::None)
        return {std::nullopt, error};
    InkDrawing drawing;
    if (const InkDecodeError error = readStrokes(bytes, header, drawing); error != InkDecodeError::None)
        return {std::nullopt, error};
    return {std::move(drawing), InkDecodeError::None};
}

InkDecodeError InkReader::readHeader(QByteArrayView bytes, Header& header)
{
    if (!hasMagic(bytes))
        return InkDecodeError::NotInkData;
    if (bytes.size() < InkFormat::HeaderSize + InkFormat::TrailerSize)
        return InkDecodeError::WrongSize;
    const char* at = bytes.data() + sizeof InkFormat::Magic;
    if (u16At(at) != InkFormat::Version)
        return InkDecodeError::UnsupportedVersion;
    if (u16At(at + 2) != 0 || u32At(at + 12) != 0)
        return InkDecodeError::Malformed;
    header.strokes = u32At(at + 4);
    header.points = u32At(at + 8);
    if (header.strokes > InkLimits::MaxStrokes || header.points > InkLimits::MaxPoints)
        return InkDecodeError::TooLarge;
    // 64-bit arithmetic: the counts are capped, so the sum cannot overflow.
    const qint64 expected = InkFormat::HeaderSize + qint64(header.strokes) * InkFormat::StrokeRecordSize +
                            qint64(header.points) * InkFormat::PointRecordSize + InkFormat::TrailerSize;
    if (qint64(bytes.size()) != expected)
        return InkDecodeError::WrongSize;
    const qsizetype body = bytes.size() - InkFormat::TrailerSize;
    if (InkFormat::checksum(bytes.first(body)) != u32At(bytes.data() + body))
        return InkDecodeError::ChecksumMismatch;
    return InkDecodeError::None;
}

InkDecodeError InkReader::readStrokes(QByteArrayView bytes, const Header& header, InkDrawing& drawing)
{
    // The size check above has already tied both counts to the bytes present.
    drawing.reserve(header.strokes);
    const char* record = bytes.data() + InkFormat::HeaderSize;
    const char* pointAt = record + qsizetype(header.strokes) * InkFormat::StrokeRecordSize;
    quint32 pointsLeft = header.points;
    const auto block = std::make_shared<InkPointBlock>(header.points);
    for (quint32 i = 0; i < header.strokes; ++i, record += InkFormat::StrokeRecordSize) {
        const auto kind = quint8(record[0]);
        if (!InkStroke::isKnownKind(kind) || record[1] != 0 || record[2] != 0 || record[3] != 0)
            return InkDecodeError::Malformed;
        const float width = f32At(record + 8);
        if (!within(width, InkLimits::MinWidth, InkLimits::MaxWidth))
            return InkDecodeError::ValueOutOfRange;
        const quint32 count = u32At(record + 12);
        if (count == 0 || count > pointsLeft)
            return InkDecodeError::Malformed;
        const size_t first = header.points - pointsLeft;
        if (const InkDecodeError error = readPoints(pointAt, count, block->data() + first);
            error != InkDecodeError::None)
            return error;
        pointAt += qsizetype(count) * InkFormat::PointRecordSize;
        pointsLeft -= count;
        InkStroke stroke(InkKind(kind), QColor::fromRgba(u32At(record + 4)), width);
        stroke.adoptPoints(block, first, count);
        drawing.append(std::move(stroke));
    }
    return pointsLeft == 0 ? InkDecodeError::None : InkDecodeError::Malformed;
}

InkDecodeError InkReader::readPoints(const char* at, quint32 count, InkPoint* points)
{
    float lastTime = 0.0f;
    for (InkPoint& point : std::span(points, count)) {
        point = {f32At(at), f32At(at + 4), f32At(at + 8), f32At(at + 12)};
        at += InkFormat::PointRecordSize;
        if (!within(point.x, -InkLimits::MaxCoordinate, InkLimits::MaxCoordinate) ||
            !within(point.y, -InkLimits::MaxCoordinate, InkLimits::MaxCoordinate) ||
            !within(point.pressure, 0.0f, 1.0f) || !within(point.time, lastTime, InkLimits::MaxTime))
            return InkDecodeError::ValueOutOfRange;
        lastTime = point.time;
    }
    return InkDecodeError::None;
}
