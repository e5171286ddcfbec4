#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

// Draws a text at one of nine points of a rectangle: alignment 0 to 8 reads a 3 x 3 grid row by row, columns
// left, centre, right and rows top, middle, bottom. Numbers outside the grid draw nothing.
class AlignedTextDrawing {
public:
    // The point the text's top left corner goes to, or nullopt-like invalid point for an unknown alignment.
    static QPointF pointFor(const QSizeF& textSize, const QRectF& rect, int alignment);
    static void drawAtPointInRect(QPainter& painter, const QString& text, const QRectF& rect, const QFont& font,
                                  int alignment);
};
