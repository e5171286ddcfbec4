#include "FloatingCellView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

FloatingCellView::FloatingCellView(const QPixmap& normal, const QPixmap& highlighted, QWidget* parent)
    : QWidget(parent), m_normal(normal), m_highlighted(highlighted),
      m_cellSize((normal.deviceIndependentSize()).toSize())
{
    setObjectName(QStringLiteral("floatingCellView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    const int width = int(std::ceil(m_cellSize.width() * MaximumScale)) + 2 * ShadowMargin;
    const int height = int(std::ceil(m_cellSize.height() * MaximumScale)) + 2 * ShadowMargin;
    resize(width, height);
}

void FloatingCellView::setCenter(const QPointF& center)
{
    m_center = center;
    place();
}

void FloatingCellView::setScale(qreal scale)
{
    m_scale = scale;
    update();
}

void FloatingCellView::setNormalOpacity(qreal opacity)
{
    m_normalOpacity = opacity;
    update();
}

void FloatingCellView::setHighlightedOpacity(qreal opacity)
{
    m_highlightedOpacity = opacity;
    update();
}

void FloatingCellView::removeHighlighted()
{
    m_highlighted = QPixmap();
    update();
}

void FloatingCellView::place()
{
    move(int(std::lround(m_center.x() - width() / 2.0)), int(std::lround(m_center.y() - height() / 2.0)));
}

void FloatingCellView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(m_scale, m_scale);
    const QRectF cell(-m_cellSize.width() / 2.0, -m_cellSize.height() / 2.0, m_cellSize.width(), m_cellSize.height());

    // A soft shadow tells the lifted tile apart from the grid below it; it grows with the lift.
    const qreal lift = std::clamp((m_scale - 1.0) * 10.0, 0.0, 1.0);
    for (int ring = 6; ring >= 1; --ring) {
        QPainterPath shadow;
        shadow.addRoundedRect(cell.adjusted(-ring, -ring + 4, ring, ring + 4), 8 + ring, 8 + ring);
        painter.fillPath(shadow, QColor(0, 0, 0, int(10 * lift)));
    }
    if (!m_normal.isNull() && m_normalOpacity > 0) {
        painter.setOpacity(m_normalOpacity);
        painter.drawPixmap(cell, m_normal, QRectF(QPointF(0, 0), m_normal.size()));
    }
    if (!m_highlighted.isNull() && m_highlightedOpacity > 0) {
        painter.setOpacity(m_highlightedOpacity);
        painter.drawPixmap(cell, m_highlighted, QRectF(QPointF(0, 0), m_highlighted.size()));
    }
}
