#include "AlignedTextDrawing.h"

#include <QFontMetricsF>
#include <QPainter>

QPointF AlignedTextDrawing::pointFor(const QSizeF& size, const QRectF& rect, int alignment)
{
    const int column = alignment % 3;
    const int row = alignment / 3;
    const qreal x = column == 0   ? rect.left()
                    : column == 1 ? rect.center().x() - size.width() / 2
                                  : rect.right() - size.width();
    const qreal y = row == 0   ? rect.top()
                    : row == 1 ? rect.center().y() - size.height() / 2
                               : rect.bottom() - size.height();
    return QPointF(x, y);
}

void AlignedTextDrawing::drawAtPointInRect(QPainter& painter, const QString& text, const QRectF& rect,
                                           const QFont& font, int alignment)
{
    if (alignment < 0 || alignment > 8)
        return;
    painter.save();
    painter.setFont(font);
    // Measured with the painter's own device, so a printer's resolution gives the size it will draw.
    const QFontMetricsF metrics(font, painter.device());
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    const QPointF at = pointFor(size, rect, alignment);
    painter.drawText(QRectF(at, size), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}
