#include "NumberedDiscIconEngine.h"

#include "ColorScheme.h"

#include <QPainter>
#include <QPixmap>

NumberedDiscIconEngine::NumberedDiscIconEngine(int number) : m_number(number)
{
}

QColor NumberedDiscIconEngine::ink(bool dark)
{
    // The colours breeze and breeze-dark draw their symbols in.
    return dark ? QColor(0xef, 0xf0, 0xf1) : QColor(0x23, 0x26, 0x29);
}

void NumberedDiscIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

QPixmap NumberedDiscIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    QPixmap canvas(size);
    canvas.fill(Qt::transparent);
    const int side = std::min(size.width(), size.height());
    if (side <= 0)
        return canvas;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc((size.width() - side) / 2.0 + side * 0.05, (size.height() - side) / 2.0 + side * 0.05, side * 0.9,
                      side * 0.9);
    QColor colour = ink(ColorScheme::isDark());
    if (mode == QIcon::Disabled)
        colour.setAlphaF(0.4f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(disc);
    // The number is a hole in the disc, so it shows whatever lies beneath, as the system's filled glyphs do.
    const QString text = QString::number(m_number);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(1, int(side * (text.size() > 1 ? 0.45 : 0.6))));
    painter.setFont(font);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(Qt::black);
    painter.drawText(disc, Qt::AlignCenter, text);
    return canvas;
}

QIconEngine* NumberedDiscIconEngine::clone() const
{
    return new NumberedDiscIconEngine(m_number);
}
