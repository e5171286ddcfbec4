#include "DrawnPixmapCache.h"

#include <QPainter>

DrawnPixmapCache::DrawnPixmapCache(qsizetype capacity) : m_capacity(capacity)
{
}

QPixmap DrawnPixmapCache::pixmap(const QByteArray& look, const QSize& size, qreal ratio, const Draw& draw)
{
    const Key key{look, size, ratio};
    const auto kept = m_pixmaps.constFind(key);
    if (kept != m_pixmaps.constEnd())
        return *kept;
    QPixmap drawn(size * ratio);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    if (m_pixmaps.size() >= m_capacity)
        m_pixmaps.clear();
    m_pixmaps.insert(key, drawn);
    return drawn;
}
