#include "TextSizeIconEngine.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

// A capital A standing on baseline at left, height tall: two legs meeting at the top and a crossbar, in strokes of
// width stroke.
QPainterPath letterA(double left, double baseline, double height, double stroke)
{
    const double width = height * 0.8;
    QPainterPath legs;
    legs.moveTo(left, baseline);
    legs.lineTo(left + width / 2, baseline - height);
    legs.lineTo(left + width, baseline);
    legs.moveTo(left + width * 0.22, baseline - height * 0.38);
    legs.lineTo(left + width * 0.78, baseline - height * 0.38);
    QPainterPathStroker stroker;
    stroker.setWidth(stroke);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setCapStyle(Qt::FlatCap);
    return stroker.createStroke(legs);
}

} // namespace

void TextSizeIconEngine::drawGlyph(QPainter& painter, const QRectF& square) const
{
    const double side = square.width();
    const double baseline = square.top() + side * 0.85;
    const double stroke = side * 0.09;
    QPainterPath letters = letterA(square.left() + side * 0.02, baseline, side * 0.42, stroke);
    letters.addPath(letterA(square.left() + side * 0.36, baseline, side * 0.75, stroke));
    painter.drawPath(letters.simplified());
}

QIconEngine* TextSizeIconEngine::clone() const
{
    return new TextSizeIconEngine;
}
