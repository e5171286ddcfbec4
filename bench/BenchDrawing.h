#pragma once

#include "platform/ink/InkDrawing.h"

#include <QRandomGenerator>
#include <QSizeF>

#include <cmath>

// What a hand-drawn sketch is made of: how many strokes, how long, over what page, how thick and how quickly the
// pen's pressure rises and falls along a stroke.
struct HandDrawing {
    int strokes = 0;
    int pointsPerStroke = 0;
    QSizeF page;
    float thinnest = 1.0f;
    // Strokes are thinnest plus a whole number of points below this.
    int widthSteps = 1;
    // Points along a stroke per radian of its pressure's swing.
    double pressurePeriod = 10.0;
};

// Hand-drawn strokes: short wandering lines with the pressure of a tablet pen rising and falling smoothly, the same
// for the same seed.
inline InkDrawing handDrawnStrokes(const HandDrawing& shape, quint32 seed)
{
    QRandomGenerator random(seed);
    InkDrawing drawing;
    drawing.reserve(size_t(shape.strokes));
    for (int s = 0; s < shape.strokes; ++s) {
        const QColor color = QColor::fromRgb(random.bounded(0x1000000));
        InkStroke stroke(InkKind::Pen, color, shape.thinnest + float(random.bounded(shape.widthSteps)));
        double x = random.bounded(shape.page.width());
        double y = random.bounded(shape.page.height());
        double heading = random.bounded(6.283);
        for (int p = 0; p < shape.pointsPerStroke; ++p) {
            heading += random.bounded(0.6) - 0.3;
            x += 2.0 * std::cos(heading);
            y += 2.0 * std::sin(heading);
            const float pressure = float(0.5 + 0.4 * std::sin(p / shape.pressurePeriod + s));
            stroke.append({float(x), float(y), pressure, float(p) * 0.008f});
        }
        drawing.append(std::move(stroke));
    }
    return drawing;
}
