#include "CircledPlusIconEngine.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

QIconEngine* CircledPlusIconEngine::clone() const
{
    return new CircledPlusIconEngine;
}

void CircledPlusIconEngine::drawGlyph(QPainter& painter, const QRectF& square) const
{
    const qreal side = square.width();
    const qreal stroke = std::max(1.0, side / 12);
    const QPointF centre = square.center();
    // The ring is the band between two circles, so it fills with the brush like the other glyphs.
    QPainterPath shape;
    shape.setFillRule(Qt::OddEvenFill);
    const qreal ring = side * RingShare / 2;
    shape.addEllipse(centre, ring + stroke / 2, ring + stroke / 2);
    shape.addEllipse(centre, ring - stroke / 2, ring - stroke / 2);
    painter.drawPath(shape);
    const qreal arm = side * ArmShare / 2 + stroke / 2;
    QPainterPath plus;
    plus.setFillRule(Qt::WindingFill);
    plus.addRoundedRect(QRectF(centre.x() - arm, centre.y() - stroke / 2, 2 * arm, stroke), stroke / 2, stroke / 2);
    plus.addRoundedRect(QRectF(centre.x() - stroke / 2, centre.y() - arm, stroke, 2 * arm), stroke / 2, stroke / 2);
    painter.drawPath(plus);
}
