#pragma once

#include "platform/ink/InkDrawing.h"
#include "platform/ink/InkWriter.h"

#include <QByteArray>
#include <QColor>
#include <QRectF>

// A drawing the export tests put in sketch cards: one red pen stroke 4 points wide, along the top from (10, 10)
// to (110, 10) and down to (110, 60), at full pressure. Its ink covers Bounds.
namespace SampleSketch {

inline const QRectF Bounds(8, 8, 104, 54);
inline const QColor Ink(Qt::red);

inline InkDrawing drawing()
{
    InkStroke stroke(InkKind::Pen, Ink, 4.0f);
    stroke.append({10.0f, 10.0f, 1.0f, 0.0f});
    stroke.append({110.0f, 10.0f, 1.0f, 0.1f});
    stroke.append({110.0f, 60.0f, 1.0f, 0.2f});
    InkDrawing made;
    made.append(std::move(stroke));
    return made;
}

inline QByteArray bytes()
{
    return InkWriter::encode(drawing()).value();
}

// The stored form of a drawing without a stroke.
inline QByteArray emptyDrawingBytes()
{
    return InkWriter::encode(InkDrawing()).value();
}

} // namespace SampleSketch
