#pragma once

#include <QPointF>

// One sampled position of a stroke, in drawing coordinates (points). Pressure runs from 0 to 1; a device that
// reports none records 1. Time is in seconds since the stroke's first point. Single precision is what the stored
// format keeps, so a drawing read back equals the one written.
struct InkPoint {
    float x = 0.0f;
    float y = 0.0f;
    float pressure = 1.0f;
    float time = 0.0f;

    QPointF position() const { return QPointF(x, y); }
    friend bool operator==(const InkPoint&, const InkPoint&) = default;
};
