#pragma once

#include "platform/DrawnPixmapCache.h"

#include <QLine>

class QPainter;
class QRect;

// A board cell's rounded tile (card or folder, plain or selected, light or dark, with the card's rule under its
// heading), drawn once per kind and size and then copied: anti-aliasing the outline, the folder tab and the rule
// costs more than everything else in a cell, and the grid repaints every visible cell on each search keystroke.
class CardCellBackground {
public:
    static constexpr qreal CornerRadius = 10;

    // What sets one tile apart from another of the same size. rule is a grey line across the tile, in the
    // tile's own coordinates; a null line draws none.
    struct Look {
        bool folder = false;
        bool selected = false;
        bool dark = false;
        QLine rule;
        bool operator==(const Look& other) const = default;
    };

    // Paints the tile filling cell. A painter that scales or rotates gets the tile drawn directly, since a
    // copied tile would not match the pixel grid.
    void paint(QPainter* painter, const QRect& cell, const Look& look);
    // How many tiles are kept; a window resized through many cell sizes never holds more than a few.
    qsizetype cachedTiles() const { return m_tiles.count(); }

    static constexpr qsizetype MaxTiles = 16;

private:
    static void draw(QPainter* painter, const QRect& cell, const Look& look);

    DrawnPixmapCache m_tiles{MaxTiles};
};
