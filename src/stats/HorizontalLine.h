#pragma once

#include <QLineF>

// A guide line of the bar chart.
struct HorizontalLine {
    QLineF segment;
    bool isDashed = false;
    double width = 0.5;
};
