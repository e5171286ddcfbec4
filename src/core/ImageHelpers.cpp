#include "ImageHelpers.h"

#include <QPainter>
#include <QTransform>
#include <cmath>

QImage ImageHelpers::filledImageFrom(const QImage& image, const QColor& color)
{
    if (image.isNull())
        return image;
    QImage filled(image.size(), QImage::Format_ARGB32_Premultiplied);
    filled.setDevicePixelRatio(image.devicePixelRatio());
    filled.fill(Qt::transparent);
    QPainter painter(&filled);
    painter.drawImage(QPoint(0, 0), image);
    // Source-in keeps the colour only where the image left coverage, in proportion to its alpha.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(QPoint(0, 0), filled.deviceIndependentSize().toSize()), color);
    painter.end();
    return filled;
}

QImage ImageHelpers::resizeImage(const QImage& image, float newWidth)
{
    const float width = float(image.width());
    if (image.isNull() || width <= newWidth || newWidth <= 0.0f)
        return image;
    const float scale = newWidth / width;
    const int height = std::max(1, int(std::lround(float(image.height()) * scale)));
    const int targetWidth = std::max(1, int(std::lround(newWidth)));
    QImage resized = image.scaled(targetWidth, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    resized.setDevicePixelRatio(1.0);
    return resized;
}

QImage ImageHelpers::normalizeImage(const QImage& image, QImageIOHandler::Transformations orientation)
{
    if (orientation == QImageIOHandler::TransformationNone || image.isNull())
        return image;
    QImage upright = image;
    if (orientation & QImageIOHandler::TransformationMirror)
        upright = upright.mirrored(true, false);
    if (orientation & QImageIOHandler::TransformationFlip)
        upright = upright.mirrored(false, true);
    if (orientation & QImageIOHandler::TransformationRotate90)
        upright = upright.transformed(QTransform().rotate(90));
    return upright;
}
