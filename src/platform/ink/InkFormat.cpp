#include "InkFormat.h"

#include <zlib.h>

#include <algorithm>

quint32 InkFormat::checksum(QByteArrayView bytes)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
    qsizetype left = bytes.size();
    // crc32 takes its length as a 32-bit count.
    while (left > 0) {
        const auto chunk = uInt(std::min<qsizetype>(left, qsizetype(1) << 30));
        crc = crc32(crc, data, chunk);
        data += chunk;
        left -= chunk;
    }
    return quint32(crc);
}

QString describeInkDecodeError(InkDecodeError error)
{
    switch (error) {
    case InkDecodeError::None:
        return QStringLiteral("no error");
    case InkDecodeError::NotInkData:
        return QStringLiteral("the data is not a drawing");
    case InkDecodeError::UnsupportedVersion:
        return QStringLiteral("the drawing was written by a newer version");
    case InkDecodeError::WrongSize:
        return QStringLiteral("the drawing is incomplete");
    case InkDecodeError::TooLarge:
        return QStringLiteral("the drawing is too large");
    case InkDecodeError::Malformed:
        return QStringLiteral("the drawing is damaged");
    case InkDecodeError::ChecksumMismatch:
        return QStringLiteral("the drawing is damaged (checksum mismatch)");
    case InkDecodeError::ValueOutOfRange:
        return QStringLiteral("the drawing holds impossible coordinates");
    }
    return QStringLiteral("unknown error");
}
