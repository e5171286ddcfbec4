#pragma once

#include <QSize>

// The board's column count and cell size for large and compact cards. One set of values serves every board:
// the size is read on every paint, so it is computed once per width, never per cell.
class CardGridMetrics {
public:
    static constexpr int DesktopSpacing = 20;
    static constexpr int DesktopInset = 20;
    static constexpr int PhoneCompactSpacing = 10;
    static constexpr int PhoneCompactInset = 15;
    static constexpr int LargeTarget = 380;
    static constexpr int LargeMinimum = 330;
    static constexpr int CompactTarget = 300;
    static constexpr int CompactMinimum = 200;

    struct Result {
        int columns = 1;
        int cellWidth = 1;
        int cellHeight = 1;
    };

    // The grid for a board of width points. A width of 0 or less (a view not laid out yet) gives one column
    // of the smallest cell, so no caller divides by zero.
    static Result compute(int width, bool compact, bool desktopIdiom);
    // The cell width for columns across width, insets and spacing taken off; never below 1.
    static int cellWidth(int columns, int width, bool compact, bool desktopIdiom);
    static int spacing(bool compact, bool desktopIdiom);
    static int inset(bool compact, bool desktopIdiom);

    // The board width a list view lays cells across when its viewport is viewportWidth wide: the cells' grid
    // takes the half spacing at either edge inside the viewport, and Qt's icon layout wraps a cell that would
    // end on the viewport's last pixel column, so a grid that fits exactly would lose its last column.
    static int widthForViewport(int viewportWidth) { return viewportWidth + DesktopInset - 1; }
    // Computes and keeps the grid for width on this process's idiom; answers the cell width.
    static int updateCellSize(int width, bool compact);
    static int columns();
    static QSize cellSize();
};
