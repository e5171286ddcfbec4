#include "CustomCellBackground.h"

#include <QPainter>
#include <QPainterPath>

CustomCellBackground::CustomCellBackground(QWidget* parent) : QWidget(parent)
{
}

void CustomCellBackground::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.save();
    // The whole cell, not only the damaged part: a partial repaint must not draw a frame inside the cell.
    QPainterPath path;
    path.addRect(QRectF(rect()));
    painter.strokePath(path, QPen(Qt::black, LineWidth));
    // Filled after stroking, so the fill covers the inner half of the line.
    painter.fillPath(path, QColor::fromRgbF(FillGrey, FillGrey, FillGrey, 1.0));
    painter.restore();
}
