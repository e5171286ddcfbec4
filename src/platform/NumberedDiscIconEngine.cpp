#include "NumberedDiscIconEngine.h"

#include <QPainter>
#include <algorithm>

NumberedDiscIconEngine::NumberedDiscIconEngine(int number) : m_number(number)
{
}

void NumberedDiscIconEngine::drawGlyph(QPainter& painter, const QRectF& square) const
{
    painter.drawEllipse(square);
    const QString text = QString::number(m_number);
    QFont font = painter.font();
    font.setBold(true);
    // Two digits must fit where one stands.
    font.setPixelSize(std::max(1, int(square.width() * (text.size() > 1 ? 0.5 : 0.667))));
    painter.setFont(font);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(Qt::black);
    painter.drawText(square, Qt::AlignCenter, text);
}

QIconEngine* NumberedDiscIconEngine::clone() const
{
    return new NumberedDiscIconEngine(m_number);
}
