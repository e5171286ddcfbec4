#pragma once

#include "InkStroke.h"

#include <QRectF>
#include <vector>

// A drawing: its strokes from bottom to top. A value type, cheap to move; the canvas owns the one being edited.
class InkDrawing {
public:
    const std::vector<InkStroke>& strokes() const { return m_strokes; }
    bool isEmpty() const { return m_strokes.empty(); }
    size_t strokeCount() const { return m_strokes.size(); }
    size_t pointCount() const;
    // The area all ink can cover, stroke widths included; the null rectangle for an empty drawing.
    QRectF bounds() const;

    void append(InkStroke stroke) { m_strokes.push_back(std::move(stroke)); }
    void insert(size_t index, InkStroke stroke);
    InkStroke removeAt(size_t index);
    void reserve(size_t strokes) { m_strokes.reserve(strokes); }
    // The topmost stroke with ink within radius of the position, or -1.
    qsizetype strokeAt(QPointF position, qreal radius) const;

    friend bool operator==(const InkDrawing&, const InkDrawing&) = default;

private:
    std::vector<InkStroke> m_strokes;
};
