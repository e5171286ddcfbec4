#pragma once

#include "DataEntry.h"

#include <QPointF>
#include <QRectF>

// One laid-out bar: the left edge and top of the bar, its size, the gap to the next bar and what it shows.
struct BasicBarEntry {
    QPointF origin;
    double barWidth = 0;
    double barHeight = 0;
    double space = 0;
    DataEntry data;

    QRectF barFrame() const { return {origin.x(), origin.y(), barWidth, barHeight}; }
    // The value text sits 30 above the bar, the title 10 below it; both are centred over bar and gap.
    QRectF textValueFrame() const { return {origin.x() - space / 2, origin.y() - 30, barWidth + space, 22}; }
    QRectF titleFrame() const { return {origin.x() - space / 2, origin.y() + barHeight + 10, barWidth + space, 22}; }
};
