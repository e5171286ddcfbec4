#include "VerticalAlignLabel.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyle>

VerticalAlignLabel::VerticalAlignLabel(QWidget* parent) : QLabel(parent)
{
}

VerticalAlignLabel::VerticalAlignLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
}

QRect VerticalAlignLabel::textRectForBounds(const QRect& bounds) const
{
    const int flags = Qt::AlignTop | Qt::AlignLeft | (wordWrap() ? Qt::TextWordWrap : 0);
    const QRect text = fontMetrics().boundingRect(bounds, flags, this->text());
    const int width = std::min(text.width(), bounds.width());
    const int height = std::min(text.height(), bounds.height());
    const int x =
        QGuiApplication::layoutDirection() == Qt::RightToLeft ? bounds.left() + bounds.width() - width : bounds.left();
    return {x, bounds.top(), width, height};
}

void VerticalAlignLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QRect text = textRectForBounds(area);
    const int flags = Qt::AlignTop | Qt::AlignLeft | (wordWrap() ? Qt::TextWordWrap : 0);
    style()->drawItemText(&painter, text, flags, palette(), isEnabled(), this->text(), foregroundRole());
}
