#pragma once

#include <QColor>
#include <QString>

// One bar to draw: its colour (also of both its texts), its height as a share of the drawable height, the text
// above it and the title below it.
struct DataEntry {
    QColor color;
    float height = 0;
    QString textValue;
    QString title;
};
