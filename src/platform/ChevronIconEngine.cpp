#include "ChevronIconEngine.h"

#include <QPainter>
#include <QPainterPath>

ChevronIconEngine::ChevronIconEngine(bool up, bool compact) : m_up(up), m_compact(compact)
{
}

void ChevronIconEngine::drawGlyph(QPainter& painter, const QRectF& square) const
{
    const double side = square.width();
    // Shares of the side: a tall chevron spans 0.6 across and 0.4 down, a compact one 0.84 across and 0.18 down.
    const double halfWidth = side * (m_compact ? 0.42 : 0.3);
    const double rise = side * (m_compact ? 0.18 : 0.4);
    const QPointF centre = square.center();
    const double tip = m_up ? centre.y() - rise / 2 : centre.y() + rise / 2;
    const double ends = m_up ? centre.y() + rise / 2 : centre.y() - rise / 2;
    QPainterPath chevron;
    chevron.moveTo(centre.x() - halfWidth, ends);
    chevron.lineTo(centre.x(), tip);
    chevron.lineTo(centre.x() + halfWidth, ends);
    painter.strokePath(chevron, QPen(painter.brush(), side * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QIconEngine* ChevronIconEngine::clone() const
{
    return new ChevronIconEngine(m_up, m_compact);
}
