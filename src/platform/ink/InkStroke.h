#pragma once

#include "InkPoint.h"
#include "InkPointBlock.h"

#include <QColor>
#include <QRectF>
#include <QtGlobal>
#include <algorithm>
#include <memory>
#include <span>
#include <vector>

// How a stroke's ink is laid down. The numbers are stored: never renumber them.
enum class InkKind : quint8 {
    // Opaque line whose width follows the pressure.
    Pen = 0,
    // Translucent line of even width.
    Marker = 1,
};

// One continuous line of ink: its points in drawing order, its ink, colour and nominal width. Every value is
// clamped into InkLimits on the way in, and the bounds (which take in half the width on every side) are kept
// current as points arrive, so hit tests and repaints never walk the points of strokes they cannot touch.
class InkStroke {
public:
    InkStroke() = default;
    InkStroke(InkKind kind, QColor color, float width);

    static bool isKnownKind(quint8 kind) { return kind <= quint8(InkKind::Marker); }

    InkKind kind() const { return m_kind; }
    // The true colour, as stored; the renderer decides how it shows in the dark scheme.
    QColor color() const { return QColor::fromRgba(m_rgba); }
    QRgb rgba() const { return m_rgba; }
    float width() const { return m_width; }
    std::span<const InkPoint> points() const { return m_block ? m_shared : std::span<const InkPoint>(m_points); }
    bool isEmpty() const { return points().empty(); }
    // The area the ink can cover: the points' extent grown by half the width; null when there are no points.
    QRectF bounds() const { return m_bounds; }
    // Whether every point has the same pressure, which lets the renderer draw one line instead of pieces.
    bool hasUniformPressure() const { return m_uniformPressure; }

    // Appends a point after clamping it into the limits.
    void append(InkPoint point);
    // Takes count points from first on of a block that a reader has already checked against the limits; the
    // stroke shares the block until a point is appended, when it takes a copy of its own.
    void adoptPoints(std::shared_ptr<const InkPointBlock> block, size_t first, size_t count);
    // Whether any ink of the stroke lies within radius of the position.
    bool hits(QPointF position, qreal radius) const;

    // The drawn width at a pressure: a quarter of the nominal width at none, the whole of it at full pressure.
    static qreal widthAt(float width, float pressure) { return width * (0.25 + 0.75 * pressure); }

    friend bool operator==(const InkStroke& a, const InkStroke& b)
    {
        return a.m_kind == b.m_kind && a.m_rgba == b.m_rgba && a.m_width == b.m_width &&
               std::ranges::equal(a.points(), b.points());
    }

private:
    void grow(const InkPoint& point);
    void ownPoints();

    InkKind m_kind = InkKind::Pen;
    QRgb m_rgba = 0xff000000;
    float m_width = 1.0f;
    // The points are either the stroke's own (drawn here) or a run of a block shared with the strokes read with it.
    std::vector<InkPoint> m_points;
    std::shared_ptr<const InkPointBlock> m_block;
    std::span<const InkPoint> m_shared;
    QRectF m_bounds;
    bool m_uniformPressure = true;
};
