#include "InkDrawing.h"

#include <algorithm>

size_t InkDrawing::pointCount() const
{
    size_t count = 0;
    for (const InkStroke& stroke : m_strokes)
        count += stroke.points().size();
    return count;
}

QRectF InkDrawing::bounds() const
{
    QRectF united;
    for (const InkStroke& stroke : m_strokes)
        if (!stroke.isEmpty())
            united = united.isNull() ? stroke.bounds() : united.united(stroke.bounds());
    return united;
}

void InkDrawing::insert(size_t index, InkStroke stroke)
{
    index = std::min(index, m_strokes.size());
    m_strokes.insert(m_strokes.begin() + qsizetype(index), std::move(stroke));
}

InkStroke InkDrawing::removeAt(size_t index)
{
    InkStroke removed = std::move(m_strokes.at(index));
    m_strokes.erase(m_strokes.begin() + qsizetype(index));
    return removed;
}

qsizetype InkDrawing::strokeAt(QPointF position, qreal radius) const
{
    for (qsizetype i = qsizetype(m_strokes.size()) - 1; i >= 0; --i)
        if (m_strokes[size_t(i)].hits(position, radius))
            return i;
    return -1;
}
