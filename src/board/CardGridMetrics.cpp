#include "CardGridMetrics.h"

#include "core/Helpers.h"

#include <cmath>

namespace {

// Written by every size computation; the board's paints read them.
CardGridMetrics::Result sharedResult;

int cellHeightFor(int width, int columns, bool compact)
{
    if (columns < 2)
        return width / 8 * 5;
    return compact ? width / 4 * 3 : width / 3 * 2;
}

} // namespace

int CardGridMetrics::spacing(bool compact, bool desktopIdiom)
{
    return (!desktopIdiom && compact) ? PhoneCompactSpacing : DesktopSpacing;
}

int CardGridMetrics::inset(bool compact, bool desktopIdiom)
{
    return (!desktopIdiom && compact) ? PhoneCompactInset : DesktopInset;
}

int CardGridMetrics::cellWidth(int columns, int width, bool compact, bool desktopIdiom)
{
    const int safeColumns = std::max(columns, 1);
    const int available =
        width - (2 * inset(compact, desktopIdiom) + spacing(compact, desktopIdiom) * (safeColumns - 1));
    return std::max(available / safeColumns, 1);
}

CardGridMetrics::Result CardGridMetrics::compute(int width, bool compact, bool desktopIdiom)
{
    Result result;
    if (width <= 0)
        return result;
    if (desktopIdiom) {
        const float target = compact ? CompactTarget : LargeTarget;
        const float minimum = compact ? CompactMinimum : LargeMinimum;
        result.columns = std::max(int(std::ceil(float(width) / target)), 1);
        if (std::floor(float(width) / float(result.columns)) < minimum && result.columns >= 2)
            result.columns -= 1;
    } else {
        result.columns = compact ? 2 : 1;
    }
    result.cellWidth = cellWidth(result.columns, width, compact, desktopIdiom);
    result.cellHeight = std::max(cellHeightFor(result.cellWidth, result.columns, compact), 1);
    return result;
}

int CardGridMetrics::updateCellSize(int width, bool compact)
{
    sharedResult = compute(width, compact, Helpers::iPadOrMac());
    return sharedResult.cellWidth;
}

int CardGridMetrics::columns()
{
    return sharedResult.columns;
}

QSize CardGridMetrics::cellSize()
{
    return {sharedResult.cellWidth, sharedResult.cellHeight};
}
