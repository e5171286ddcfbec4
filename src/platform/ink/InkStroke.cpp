#include "InkStroke.h"

#include "InkLimits.h"

#include <algorithm>
#include <cmath>

namespace {

float clamped(float value, float low, float high, float fallback)
{
    // Infinities clamp to the nearer limit like any large value; only NaN has no nearer limit.
    if (std::isnan(value))
        return fallback;
    return std::clamp(value, low, high);
}

qreal distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const qreal length2 = QPointF::dotProduct(ab, ab);
    qreal t = length2 > 0.0 ? QPointF::dotProduct(p - a, ab) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

} // namespace

InkStroke::InkStroke(InkKind kind, QColor color, float width)
    : m_kind(isKnownKind(quint8(kind)) ? kind : InkKind::Pen), m_rgba(color.rgba()),
      m_width(clamped(width, InkLimits::MinWidth, InkLimits::MaxWidth, 1.0f))
{
}

void InkStroke::append(InkPoint point)
{
    point.x = clamped(point.x, -InkLimits::MaxCoordinate, InkLimits::MaxCoordinate, 0.0f);
    point.y = clamped(point.y, -InkLimits::MaxCoordinate, InkLimits::MaxCoordinate, 0.0f);
    point.pressure = clamped(point.pressure, 0.0f, 1.0f, 1.0f);
    point.time = clamped(point.time, 0.0f, InkLimits::MaxTime, 0.0f);
    ownPoints();
    if (!m_points.empty())
        point.time = std::max(point.time, m_points.back().time);
    m_points.push_back(point);
    grow(point);
}

void InkStroke::adoptPoints(std::shared_ptr<const InkPointBlock> block, size_t first, size_t count)
{
    m_points.clear();
    m_shared = std::span<const InkPoint>(block->data() + first, count);
    m_block = std::move(block);
    m_bounds = QRectF();
    m_uniformPressure = true;
    if (m_shared.empty())
        return;
    float left = m_shared.front().x, right = left, top = m_shared.front().y, bottom = top;
    const float firstPressure = m_shared.front().pressure;
    for (const InkPoint& point : m_shared) {
        left = std::min(left, point.x);
        right = std::max(right, point.x);
        top = std::min(top, point.y);
        bottom = std::max(bottom, point.y);
        m_uniformPressure = m_uniformPressure && point.pressure == firstPressure;
    }
    const qreal half = m_width / 2.0;
    m_bounds = QRectF(QPointF(left - half, top - half), QPointF(right + half, bottom + half));
}

void InkStroke::ownPoints()
{
    if (!m_block)
        return;
    m_points.assign(m_shared.begin(), m_shared.end());
    m_shared = {};
    m_block.reset();
}

void InkStroke::grow(const InkPoint& point)
{
    const qreal half = m_width / 2.0;
    const QRectF dot(point.x - half, point.y - half, m_width, m_width);
    m_bounds = m_points.size() == 1 ? dot : m_bounds.united(dot);
    m_uniformPressure = m_uniformPressure && point.pressure == m_points.front().pressure;
}

bool InkStroke::hits(QPointF position, qreal radius) const
{
    const std::span<const InkPoint> points = this->points();
    if (points.empty() || !m_bounds.adjusted(-radius, -radius, radius, radius).contains(position))
        return false;
    if (points.size() == 1)
        return distanceToSegment(position, points.front().position(), points.front().position()) <=
               radius + widthAt(m_width, points.front().pressure) / 2.0;
    for (size_t i = 1; i < points.size(); ++i) {
        const InkPoint& a = points[i - 1];
        const InkPoint& b = points[i];
        const qreal half = widthAt(m_width, std::max(a.pressure, b.pressure)) / 2.0;
        if (distanceToSegment(position, a.position(), b.position()) <= radius + half)
            return true;
    }
    return false;
}
