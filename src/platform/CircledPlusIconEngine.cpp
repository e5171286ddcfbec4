#include "CircledPlusIconEngine.h"

#include "ColorScheme.h"
#include "NumberedDiscIconEngine.h"

#include <QPainter>
#include <QPixmap>

void CircledPlusIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

QPixmap CircledPlusIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    QPixmap canvas(size);
    canvas.fill(Qt::transparent);
    const qreal side = std::min(size.width(), size.height());
    if (side <= 0)
        return canvas;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor ink = NumberedDiscIconEngine::ink(ColorScheme::isDark());
    if (mode == QIcon::Disabled)
        ink.setAlphaF(0.4f);
    const qreal stroke = std::max(1.0, side / 12);
    painter.setPen(QPen(ink, stroke, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const qreal ring = side * RingShare / 2;
    painter.drawEllipse(centre, ring, ring);
    const qreal arm = side * ArmShare / 2;
    painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
    return canvas;
}

QIconEngine* CircledPlusIconEngine::clone() const
{
    return new CircledPlusIconEngine;
}
