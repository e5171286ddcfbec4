#include "CheckmarkSealIconEngine.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace {

// Points along the rim for each scallop: enough for a smooth wave at any icon size.
constexpr int PointsPerScallop = 8;
// The rim waves between the whole half side at a scallop's crest and this much less at its foot.
constexpr double ScallopDepth = 0.16;

} // namespace

void CheckmarkSealIconEngine::drawGlyph(QPainter& painter, const QRectF& square) const
{
    const QPointF centre = square.center();
    const double side = square.width();
    const double outer = side / 2;
    QPolygonF rim;
    const int points = Scallops * PointsPerScallop;
    for (int i = 0; i < points; ++i) {
        const double angle = 2 * std::numbers::pi * i / points;
        // A wave with a crest straight up, one per scallop.
        const double radius = outer * (1 - ScallopDepth / 2 * (1 - std::cos(Scallops * angle)));
        rim << centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle));
    }
    painter.drawPolygon(rim);
    const auto at = [&](double x, double y) {
        return centre + QPointF(x * side, y * side);
    };
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(QPen(Qt::black, 0.1 * side, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF{at(-0.2, 0.0), at(-0.06, 0.14), at(0.2, -0.14)});
}

QIconEngine* CheckmarkSealIconEngine::clone() const
{
    return new CheckmarkSealIconEngine;
}
