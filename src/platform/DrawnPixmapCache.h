#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QSize>
#include <functional>

class QPainter;

// Pictures that cost more to draw than to copy (anti-aliased outlines, soft shadows), drawn once for each look,
// size and pixel ratio and copied from then on. It keeps at most its capacity of them: the one past it empties
// the store first, so a window resized through many sizes holds a few pictures, not one for every size it passed.
class DrawnPixmapCache {
public:
    using Draw = std::function<void(QPainter& painter)>;

    explicit DrawnPixmapCache(qsizetype capacity);

    // The picture kept for look at size (in points) and ratio (device pixels a point). The first time, draw paints
    // it in points on a clear pixmap, with anti-aliasing on.
    QPixmap pixmap(const QByteArray& look, const QSize& size, qreal ratio, const Draw& draw);
    // How many pictures are kept.
    qsizetype count() const { return m_pixmaps.size(); }

private:
    struct Key {
        QByteArray look;
        QSize size;
        qreal ratio = 1;
        bool operator==(const Key& other) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed = 0)
    {
        return qHashMulti(seed, key.look, key.size.width(), key.size.height(), key.ratio);
    }

    qsizetype m_capacity;
    QHash<Key, QPixmap> m_pixmaps;
};
