#pragma once

#include "InkDrawing.h"

#include <QByteArray>
#include <optional>

// Writes a drawing in the stored form (see InkFormat.h).
class InkWriter {
public:
    // The bytes; nullopt when the drawing holds more strokes or points than the format allows, or a stroke
    // without points, which the reader would refuse: a writer must never produce bytes that cannot be read back.
    static std::optional<QByteArray> encode(const InkDrawing& drawing);
    // Whether the format holds a drawing of this many strokes and points, each count up to its limit included.
    static bool fits(size_t strokes, size_t points);
};
