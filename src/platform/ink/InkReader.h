#pragma once

#include "InkDrawing.h"
#include "InkFormat.h"
#include "InkPoint.h"

#include <QByteArrayView>
#include <optional>

struct InkDecodeResult {
    // Set only when the whole of the bytes was read.
    std::optional<InkDrawing> drawing;
    InkDecodeError error = InkDecodeError::None;
    bool ok() const { return drawing.has_value(); }
};

// Reads the stored form of a drawing (see InkFormat.h). Foreign or damaged bytes are an error, never a partial
// or empty drawing. Every count is checked against the bytes there are before anything is allocated, the
// checksum before any record is believed, and every value against InkLimits.
class InkReader {
public:
    static InkDecodeResult decode(QByteArrayView bytes);
    // Whether the bytes begin with the drawing magic (they may still be damaged).
    static bool hasMagic(QByteArrayView bytes);

private:
    struct Header {
        quint32 strokes = 0;
        quint32 points = 0;
    };

    static InkDecodeError readHeader(QByteArrayView bytes, Header& header);
    static InkDecodeError readStrokes(QByteArrayView bytes, const Header& header, InkDrawing& drawing);
    static InkDecodeError readPoints(const char* at, quint32 count, InkPoint* points);
};
