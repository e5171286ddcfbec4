#include "QuestionDiamondIconEngine.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

void QuestionDiamondIconEngine::drawGlyph(QPainter& painter, const QRectF& square) const
{
    const QPointF centre = square.center();
    const double side = square.width();
    painter.drawPolygon(QPolygonF{{centre.x(), square.top()},
                                  {square.right(), centre.y()},
                                  {centre.x(), square.bottom()},
                                  {square.left(), centre.y()}});
    // In fractions of the side from the centre: a hook over the upper half, a short stem, a dot below.
    const auto at = [&](double x, double y) {
        return centre + QPointF(x * side, y * side);
    };
    const double hookRadius = 0.12 * side;
    const QPointF hookCentre = at(0, -0.13);
    QPainterPath mark;
    mark.arcMoveTo(QRectF(hookCentre.x() - hookRadius, hookCentre.y() - hookRadius, 2 * hookRadius, 2 * hookRadius),
                   180);
    mark.arcTo(QRectF(hookCentre.x() - hookRadius, hookCentre.y() - hookRadius, 2 * hookRadius, 2 * hookRadius), 180,
               -220);
    mark.lineTo(at(0, 0.06));
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.strokePath(mark, QPen(Qt::black, 0.11 * side, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::black);
    painter.drawEllipse(at(0, 0.2), 0.065 * side, 0.065 * side);
}

QIconEngine* QuestionDiamondIconEngine::clone() const
{
    return new QuestionDiamondIconEngine;
}
