#include "ExclamationTriangleIconEngine.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

void ExclamationTriangleIconEngine::drawGlyph(QPainter& painter, const QRectF& square) const
{
    const double side = square.width();
    const double stroke = side * 0.09;
    // In fractions of the side from the square's top left: the apex at the top middle, the base along the bottom.
    const auto at = [&](double x, double y) {
        return square.topLeft() + QPointF(x * side, y * side);
    };
    QPainterPath outline;
    outline.addPolygon(QPolygonF{at(0.5, 0.08), at(0.95, 0.9), at(0.05, 0.9)});
    outline.closeSubpath();
    const QPen pen(painter.brush(), stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.strokePath(outline, pen);
    QPainterPath bar;
    bar.moveTo(at(0.5, 0.36));
    bar.lineTo(at(0.5, 0.58));
    painter.strokePath(bar, QPen(painter.brush(), stroke * 1.1, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(at(0.5, 0.76), stroke * 0.65, stroke * 0.65);
}

QIconEngine* ExclamationTriangleIconEngine::clone() const
{
    return new ExclamationTriangleIconEngine;
}
