#pragma once

#include <QSize>

// The project grid's column count and tile size. One set of values for the whole process: every project list
// lays out the same way, and the tile size is read on every paint, so it is computed once per size change.
class ProjectGridMetrics {
public:
    // A column narrower than this loses one column on the desktop; a new one starts every ColumnStep points.
    static constexpr int ColumnStep = 300;
    static constexpr int MinimumColumnWidth = 250;
    static constexpr int DesktopSpacing = 28;
    static constexpr int DesktopInset = 28;
    static constexpr int PhoneSpacing = 14;
    static constexpr int PhoneInset = 21;
    static constexpr int PhoneColumns = 2;

    struct Result {
        int columns = 1;
        int cellWidth = 0;
        int cellHeight = 0;
    };

    // The grid for an available width. A width of 0 or less (a view not laid out yet) still gives one
    // column, so no caller divides by zero.
    static Result compute(int width, bool desktopIdiom);
    // The tile width for columns across width, margins taken off; never below 1.
    static int widthForCell(int columns, int width, bool desktopIdiom);
    static int spacing(bool desktopIdiom) { return desktopIdiom ? DesktopSpacing : PhoneSpacing; }
    static int inset(bool desktopIdiom) { return desktopIdiom ? DesktopInset : PhoneInset; }

    // The width a list view lays tiles across when its viewport is viewportWidth wide. Qt's icon layout wraps a
    // tile that would end on the viewport's last pixel column, so a grid computed for the whole viewport loses
    // its last column whenever it fits exactly.
    static int widthForViewport(int viewportWidth) { return viewportWidth - 1; }
    // Computes and keeps the grid for width on this process's idiom.
    static Result setupCellSize(int width);
    static int columns();
    static int cellWidth();
    static int cellHeight();
    static QSize cellSize() { return {cellWidth(), cellHeight()}; }
};
