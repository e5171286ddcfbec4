#include "ProjectGridMetrics.h"

#include "core/Helpers.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

// Written and read on the GUI thread; atomics only keep a stray reader elsewhere well defined.
std::atomic<int> g_columns{1};
std::atomic<int> g_cellWidth{0};
std::atomic<int> g_cellHeight{0};

} // namespace

ProjectGridMetrics::Result ProjectGridMetrics::compute(int width, bool desktopIdiom)
{
    Result result;
    if (desktopIdiom) {
        const float w = float(width);
        int columns = int(std::ceil(w / float(ColumnStep)));
        columns = std::max(1, columns);
        if (int(std::floor(w / float(columns))) < MinimumColumnWidth && columns > 1)
            --columns;
        result.columns = columns;
    } else {
        result.columns = PhoneColumns;
    }
    result.cellWidth = widthForCell(result.columns, width, desktopIdiom);
    result.cellHeight = (result.cellWidth / 3) * 5;
    return result;
}

int ProjectGridMetrics::widthForCell(int columns, int width, bool desktopIdiom)
{
    columns = std::max(1, columns);
    const int margins = inset(desktopIdiom) * 2 + spacing(desktopIdiom) * (columns - 1);
    return std::max(1, (width - margins) / columns);
}

ProjectGridMetrics::Result ProjectGridMetrics::setupCellSize(int width)
{
    const Result result = compute(width, Helpers::iPadOrMac());
    g_columns = result.columns;
    g_cellWidth = result.cellWidth;
    g_cellHeight = result.cellHeight;
    return result;
}

int ProjectGridMetrics::columns()
{
    return g_columns;
}

int ProjectGridMetrics::cellWidth()
{
    return g_cellWidth;
}

int ProjectGridMetrics::cellHeight()
{
    return g_cellHeight;
}
