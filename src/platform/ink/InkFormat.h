#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// The stored form of a drawing, all numbers little-endian:
//   header   magic (8 bytes), version (u16), flags (u16, 0), stroke count (u32), point count (u32), reserved (u32, 0)
//   strokes  per stroke: ink kind (u8), three zero bytes, colour as ARGB (u32), width (f32), point count (u32)
//   points   per point, strokes one after another: x, y, pressure, time (f32 each)
//   trailer  CRC-32 of every byte before it (u32)
// The counts come first so that a reader knows the exact size before it allocates anything, and the encoding
// is canonical: a drawing has exactly one form, and reading then writing gives back the same bytes.
namespace InkFormat {
inline const QString MimeType = QStringLiteral("application/x-vornquil-opaque-drawing");
// A high first byte and a CR LF pair, as PNG does, so that text-mode transfers and 7-bit channels show up.
inline constexpr char Magic[8] = {'\x89', 'I', 'N', 'K', '\r', '\n', '\x1a', '\n'};
inline constexpr quint16 Version = 1;
inline constexpr qsizetype HeaderSize = 24;
inline constexpr qsizetype StrokeRecordSize = 16;
inline constexpr qsizetype PointRecordSize = 16;
inline constexpr qsizetype TrailerSize = 4;

// The CRC-32 (the zlib polynomial) of the bytes.
quint32 checksum(QByteArrayView bytes);
} // namespace InkFormat

// Why bytes are not a drawing.
enum class InkDecodeError {
    None,
    // No magic: the bytes are some other format.
    NotInkData,
    // A version this program does not know (written by a newer one).
    UnsupportedVersion,
    // Fewer bytes than the counts call for, or more.
    WrongSize,
    // Counts beyond what any drawing may hold.
    TooLarge,
    // Reserved bytes, ink kinds or per-stroke counts that do not add up.
    Malformed,
    // The bytes were changed after they were written.
    ChecksumMismatch,
    // A coordinate, pressure, time or width that is not finite or lies outside the limits.
    ValueOutOfRange,
};

QString describeInkDecodeError(InkDecodeError error);
