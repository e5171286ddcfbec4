#include "InkWriter.h"

#include "InkFormat.h"
#include "InkLimits.h"
#include "platform/HugePages.h"

#include <QtEndian>

#include <bit>
#include <cstring>
#include <span>

namespace {

char* putU16(char* at, quint16 value)
{
    qToLittleEndian(value, at);
    return at + 2;
}

char* putU32(char* at, quint32 value)
{
    qToLittleEndian(value, at);
    return at + 4;
}

char* putF32(char* at, float value)
{
    return putU32(at, std::bit_cast<quint32>(value));
}

char* putHeader(char* at, quint32 strokes, quint32 points)
{
    std::memcpy(at, InkFormat::Magic, sizeof InkFormat::Magic);
    at += sizeof InkFormat::Magic;
    at = putU16(at, InkFormat::Version);
    at = putU16(at, 0);
    at = putU32(at, strokes);
    at = putU32(at, points);
    return putU32(at, 0);
}

char* putStroke(char* at, const InkStroke& stroke)
{
    *at++ = char(stroke.kind());
    *at++ = 0;
    *at++ = 0;
    *at++ = 0;
    at = putU32(at, stroke.rgba());
    at = putF32(at, stroke.width());
    return putU32(at, quint32(stroke.points().size()));
}

char* putPoints(char* at, std::span<const InkPoint> points)
{
    for (const InkPoint& point : points) {
        at = putF32(at, point.x);
        at = putF32(at, point.y);
        at = putF32(at, point.pressure);
        at = putF32(at, point.time);
    }
    return at;
}

} // namespace

bool InkWriter::fits(size_t strokes, size_t points)
{
    return strokes <= InkLimits::MaxStrokes && points <= InkLimits::MaxPoints;
}

std::optional<QByteArray> InkWriter::encode(const InkDrawing& drawing)
{
    const size_t strokes = drawing.strokeCount();
    const size_t points = drawing.pointCount();
    if (!fits(strokes, points))
        return std::nullopt;
    for (const InkStroke& stroke : drawing.strokes())
        if (stroke.isEmpty())
            return std::nullopt;

    const qsizetype size = InkFormat::HeaderSize + qsizetype(strokes) * InkFormat::StrokeRecordSize +
                           qsizetype(points) * InkFormat::PointRecordSize + InkFormat::TrailerSize;
    QByteArray bytes(size, Qt::Uninitialized);
    HugePages::advise(bytes.data(), size_t(size));
    char* at = putHeader(bytes.data(), quint32(strokes), quint32(points));
    for (const InkStroke& stroke : drawing.strokes())
        at = putStroke(at, stroke);
    for (const InkStroke& stroke : drawing.strokes())
        at = putPoints(at, stroke.points());
    const qsizetype body = size - InkFormat::TrailerSize;
    putU32(at, InkFormat::checksum(QByteArrayView(bytes.constData(), body)));
    return bytes;
}
