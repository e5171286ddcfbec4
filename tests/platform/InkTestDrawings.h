#pragma once

#include "platform/ink/InkDrawing.h"

#include <QPointF>
#include <initializer_list>

// Small drawings for the ink tests, made point by point so that every value is known to the test.
inline InkStroke inkStroke(std::initializer_list<QPointF> points, float width = 4.0f, QColor color = Qt::black,
                           InkKind kind = InkKind::Pen, float pressure = 1.0f)
{
    InkStroke stroke(kind, color, width);
    float time = 0.0f;
    for (const QPointF& point : points) {
        stroke.append(InkPoint{float(point.x()), float(point.y()), pressure, time});
        time += 0.01f;
    }
    return stroke;
}

inline InkDrawing inkDrawing(std::initializer_list<InkStroke> strokes)
{
    InkDrawing drawing;
    for (const InkStroke& stroke : strokes)
        drawing.append(stroke);
    return drawing;
}
