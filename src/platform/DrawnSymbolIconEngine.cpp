#include "DrawnSymbolIconEngine.h"

#include "ColorScheme.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

QColor DrawnSymbolIconEngine::ink(bool dark)
{
    // The colours breeze and breeze-dark draw their symbols in.
    return dark ? QColor(0xef, 0xf0, 0xf1) : QColor(0x23, 0x26, 0x29);
}

void DrawnSymbolIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

QPixmap DrawnSymbolIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    QPixmap canvas(size);
    canvas.fill(Qt::transparent);
    const int side = std::min(size.width(), size.height());
    if (side <= 0)
        return canvas;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    // A small margin all round, as the theme's glyphs leave.
    const QRectF square((size.width() - side) / 2.0 + side * 0.05, (size.height() - side) / 2.0 + side * 0.05,
                        side * 0.9, side * 0.9);
    const QColor ink = DrawnSymbolIconEngine::ink(ColorScheme::isDark());
    const QColor colour = mode == QIcon::Disabled ? ColorScheme::dimmed(ink) : ink;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    drawGlyph(painter, square);
    return canvas;
}
