#pragma once

#include <QPixmap>
#include <QPointF>
#include <QSize>
#include <QWidget>

// The floating copy of a dragged cell: two pictures of the cell (normal and highlighted) drawn one over the
// other at a scale around a centre. It never takes mouse input, so the view under it keeps receiving the drag.
class FloatingCellView : public QWidget {
    Q_OBJECT

public:
    FloatingCellView(const QPixmap& normal, const QPixmap& highlighted, QWidget* parent);

    // Centre in the parent's coordinates.
    void setCenter(const QPointF& center);
    QPointF center() const { return m_center; }
    void setScale(qreal scale);
    qreal scale() const { return m_scale; }
    void setNormalOpacity(qreal opacity);
    qreal normalOpacity() const { return m_normalOpacity; }
    void setHighlightedOpacity(qreal opacity);
    qreal highlightedOpacity() const { return m_highlightedOpacity; }
    // Drops the highlighted picture once it has faded out.
    void removeHighlighted();
    bool hasHighlighted() const { return !m_highlighted.isNull(); }
    QSize cellSize() const { return m_cellSize; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    static constexpr int ShadowMargin = 24;
    // The largest scale the widget is sized for; the lift goes to 1.1.
    static constexpr qreal MaximumScale = 1.2;

    QPixmap m_normal;
    QPixmap m_highlighted;
    QSize m_cellSize;
    QPointF m_center;
    qreal m_scale = 1.0;
    qreal m_normalOpacity = 0.0;
    qreal m_highlightedOpacity = 1.0;
};
