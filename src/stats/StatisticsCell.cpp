#include "StatisticsCell.h"

#include <QPainter>
#include <QPainterPath>

StatisticsCell::StatisticsCell(QWidget* parent) : QWidget(parent)
{
}

void StatisticsCell::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void StatisticsCell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), CornerRadius, CornerRadius);
    painter.fillPath(path, m_color);
}
