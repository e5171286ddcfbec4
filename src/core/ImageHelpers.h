#pragma once

#include <QColor>
#include <QImage>
#include <QImageIOHandler>

// Small image operations shared by icons, attachments and exports.
class ImageHelpers {
public:
    // The image's shape in one colour: the colour covers exactly the opaque pixels, keeping their alpha.
    static QImage filledImageFrom(const QImage& image, const QColor& color);
    // An image wider than newWidth scaled down to it, height in proportion; narrower images unchanged.
    static QImage resizeImage(const QImage& image, float newWidth);
    // The image turned upright from the orientation its file recorded; an upright image unchanged.
    static QImage normalizeImage(const QImage& image, QImageIOHandler::Transformations orientation);
};
