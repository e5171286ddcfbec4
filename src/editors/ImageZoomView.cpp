#include "ImageZoomView.h"

#include <QPaintEvent>
#include <QPainter>

ImageZoomView::ImageZoomView(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image)
{
    setObjectName(QStringLiteral("imageView"));
}

void ImageZoomView::paintEvent(QPaintEvent* event)
{
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The exposed rectangle maps back to the matching part of the image.
    const QRectF target = event->rect();
    const double sx = double(m_image.width()) / width();
    const double sy = double(m_image.height()) / height();
    const QRectF source(target.x() * sx, target.y() * sy, target.width() * sx, target.height() * sy);
    painter.drawImage(target, m_image, source);
}
