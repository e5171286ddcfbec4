#include "InkTileCache.h"

#include "InkRenderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

void InkTileCache::setGeometry(qreal zoom, qreal devicePixelRatio)
{
    if (zoom == m_zoom && devicePixelRatio == m_ratio)
        return;
    m_zoom = zoom;
    m_ratio = devicePixelRatio;
    m_tiles.clear();
}

void InkTileCache::setDark(bool dark)
{
    if (dark == m_dark)
        return;
    m_dark = dark;
    m_tiles.clear();
}

QRectF InkTileCache::drawingRect(const QRect& viewRect) const
{
    return QRectF(QPointF(viewRect.x() / m_zoom, viewRect.y() / m_zoom),
                  QSizeF(viewRect.width() / m_zoom, viewRect.height() / m_zoom));
}

QRect InkTileCache::viewRect(const QRectF& drawingArea) const
{
    // Antialiasing reaches a pixel past the exact bounds.
    const QRectF scaled(drawingArea.topLeft() * m_zoom, drawingArea.size() * m_zoom);
    return scaled.toAlignedRect().adjusted(-2, -2, 2, 2);
}

QList<QPoint> InkTileCache::keysFor(const QRect& viewRect) const
{
    QList<QPoint> keys;
    if (viewRect.isEmpty())
        return keys;
    const auto first = [](int v) {
        return int(std::floor(v / double(TileSize)));
    };
    for (int row = first(viewRect.top()); row <= first(viewRect.bottom()); ++row)
        for (int column = first(viewRect.left()); column <= first(viewRect.right()); ++column)
            keys.append(QPoint(column, row));
    return keys;
}

void InkTileCache::invalidate(const QRectF& area)
{
    const QRect reach = viewRect(area);
    for (auto it = m_tiles.begin(); it != m_tiles.end();)
        it = tileRect(it.key()).intersects(reach) ? m_tiles.erase(it) : std::next(it);
}

void InkTileCache::addStroke(const InkStroke& stroke)
{
    const QRect reach = viewRect(stroke.bounds());
    for (auto it = m_tiles.begin(); it != m_tiles.end(); ++it) {
        const QRect rect = tileRect(it.key());
        if (!rect.intersects(reach))
            continue;
        QPainter painter(&it->image);
        painter.setRenderHint(QPainter::Antialiasing);
        // The image's own ratio already maps view pixels to device pixels.
        painter.scale(m_zoom, m_zoom);
        painter.translate(-QPointF(rect.topLeft()) / m_zoom);
        InkRenderer::paintStroke(painter, stroke, m_ratio * m_zoom, m_dark);
    }
}

InkTileCache::Tile InkTileCache::render(QPoint key, const InkDrawing& drawing) const
{
    const QRect rect = tileRect(key);
    Tile tile;
    tile.image = QImage(QSize(TileSize, TileSize) * m_ratio, QImage::Format_ARGB32_Premultiplied);
    tile.image.setDevicePixelRatio(m_ratio);
    tile.image.fill(Qt::transparent);
    QPainter painter(&tile.image);
    // The image's own ratio already maps view pixels to device pixels.
    painter.scale(m_zoom, m_zoom);
    painter.translate(-QPointF(rect.topLeft()) / m_zoom);
    InkRenderer::paint(painter, drawing, drawingRect(rect), m_ratio * m_zoom, m_dark);
    return tile;
}

void InkTileCache::paint(QPainter& painter, const QRect& exposed, const InkDrawing& drawing)
{
    for (const QPoint& key : keysFor(exposed)) {
        auto it = m_tiles.find(key);
        if (it == m_tiles.end()) {
            // Made room for first: a vast exposed area is blitted tile by tile and never held whole.
            evictOldest(maxTiles() - 1);
            it = m_tiles.insert(key, render(key, drawing));
        }
        it->lastUse = ++m_clock;
        const QRect rect = tileRect(key);
        const QRect part = rect.intersected(exposed);
        painter.drawImage(part, it->image,
                          QRectF(part.translated(-rect.topLeft()).topLeft() * m_ratio, QSizeF(part.size()) * m_ratio));
    }
}

int InkTileCache::maxTiles() const
{
    const qreal side = TileSize * m_ratio;
    return std::max(1, int(MaxBytes / qint64(side * side * 4)));
}

void InkTileCache::evictOldest(int keep)
{
    while (m_tiles.size() > std::max(keep, 0)) {
        auto oldest = m_tiles.begin();
        for (auto it = m_tiles.begin(); it != m_tiles.end(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        m_tiles.erase(oldest);
    }
}
