#pragma once

#include "platform/DrawnPixmapCache.h"

#include <QPixmap>
#include <QString>

class QPainter;

// The picture each card type names as its background ("card_bg.png", "location_bg.png" …), drawn by us: index
// cards on a soft tile of the type's colour, the front card wearing the type's emblem (a pin for places, a bulb
// for ideas …). Light and dark looks each keep their paper and ink readable on their scheme's window.
class CardBackgroundArt {
public:
    // Each picture is drawn on a square of this many units and scaled to the side asked for.
    static constexpr qreal Units = 100;
    static constexpr qsizetype MaxPictures = 4;

    // The picture named backgroundName, side points square at ratio device pixels a point; a null pixmap for a
    // name no card type carries. A window resized through many sizes keeps only the last few pictures.
    QPixmap picture(const QString& backgroundName, bool dark, int side, qreal ratio);
    // Whether some card type carries backgroundName.
    static bool hasPicture(const QString& backgroundName);

private:
    static void draw(QPainter& painter, const QString& backgroundName, bool dark, int side);

    DrawnPixmapCache m_pictures{MaxPictures};
};
