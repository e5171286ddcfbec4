#pragma once

#include "InkDrawing.h"

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

// The finished strokes of the canvas, rendered once into tiles of the view and kept. A pen event then costs the
// blit of the few tiles its dirty area covers, whatever the size of the drawing: tiles are made when first
// shown, a finished stroke is drawn onto the tiles it crosses, and only an erase or undo re-renders, and then
// only the tiles the stroke touched. The number of tiles kept is capped; the least recently shown go first.
class InkTileCache {
public:
    static constexpr int TileSize = 256;
    // The memory the tiles may take; a high device pixel ratio keeps fewer of them.
    static constexpr qint64 MaxBytes = qint64(64) * 1024 * 1024;

    // Drawing points per view pixel and device pixels per view pixel; a change drops every tile.
    void setGeometry(qreal zoom, qreal devicePixelRatio);
    void setDark(bool dark);
    void clear() { m_tiles.clear(); }
    // Drops the tiles that meet the area (drawing coordinates).
    void invalidate(const QRectF& area);
    // Draws a stroke that now lies on top of all others onto the tiles it crosses.
    void addStroke(const InkStroke& stroke);
    // Blits the tiles covering exposed (view coordinates), rendering those missing from the drawing.
    void paint(QPainter& painter, const QRect& exposed, const InkDrawing& drawing);
    int tileCount() const { return int(m_tiles.size()); }
    // How many tiles fit within MaxBytes at the current device pixel ratio.
    int maxTiles() const;

private:
    struct Tile {
        QImage image;
        quint64 lastUse = 0;
    };

    QRect tileRect(QPoint key) const { return QRect(key * TileSize, QSize(TileSize, TileSize)); }
    QRectF drawingRect(const QRect& viewRect) const;
    QRect viewRect(const QRectF& drawingArea) const;
    QList<QPoint> keysFor(const QRect& viewRect) const;
    Tile render(QPoint key, const InkDrawing& drawing) const;
    // Drops the least recently shown tiles until at most keep remain.
    void evictOldest(int keep);

    qreal m_zoom = 1.0;
    qreal m_ratio = 1.0;
    bool m_dark = false;
    quint64 m_clock = 0;
    QHash<QPoint, Tile> m_tiles;
};
