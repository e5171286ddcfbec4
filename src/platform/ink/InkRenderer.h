#pragma once

#include "InkDrawing.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

class QPainter;

// Paints drawings: into a painter for the canvas, or as an image of any rectangle at any scale. Images have a
// cap on their pixel count (and side); a request beyond it is met at a lower scale, never refused or allowed to
// grow without bound, so no drawing, however far its coordinates reach, can make an unbounded image.
class InkRenderer {
public:
    // About 64 MB of pixels.
    static constexpr qint64 DefaultMaxPixels = qint64(4096) * 4096;
    // The longest side a raster painter handles safely.
    static constexpr int MaxImageSide = 16384;

    struct Options {
        // Near-black ink shows light (the stored colour is untouched).
        bool dark = false;
        qint64 maxPixels = DefaultMaxPixels;
        // What the ink is drawn on.
        QColor background = Qt::transparent;
    };

    // The part of the drawing inside rect at scale (image pixels per point), on the options' background. A null
    // image for an empty or invalid rectangle or scale. The scale actually used is stored in usedScale when given.
    static QImage image(const InkDrawing& drawing, const QRectF& rect, qreal scale, const Options& options,
                        qreal* usedScale = nullptr);
    // The pixel size of an image of size at scale: each side rounded up, at least one pixel.
    static QSize pixelSize(const QSizeF& size, qreal scale);
    // The scale, no larger than asked, at which an image of size fits within maxPixels and MaxImageSide.
    static qreal cappedScale(const QSizeF& size, qreal scale, qint64 maxPixels);

    // Paints every stroke whose bounds meet area (in drawing coordinates); the painter's transform maps drawing
    // coordinates to its device, and deviceScale says how many device pixels one point covers.
    static void paint(QPainter& painter, const InkDrawing& drawing, const QRectF& area, qreal deviceScale, bool dark);
    static void paintStroke(QPainter& painter, const InkStroke& stroke, qreal deviceScale, bool dark);
    // Paints only the pieces of a stroke whose segments meet area: a long stroke being drawn costs what its
    // newest piece costs, not what all of it does.
    static void paintStrokePart(QPainter& painter, const InkStroke& stroke, const QRectF& area, qreal deviceScale,
                                bool dark);
    // How a stored colour shows: in the dark scheme, near-black ink is lightened so that it stays readable.
    static QColor displayColor(QColor stored, bool dark);
    // How a picture of the ink drawn in its stored colours shows: each pixel as displayColor() shows its colour, its
    // opacity kept, so a stored picture reads on a dark background as the canvas does.
    static QImage displayImage(const QImage& stored, bool dark);
};
