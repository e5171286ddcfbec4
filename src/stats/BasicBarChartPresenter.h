#pragma once

#include "BasicBarEntry.h"
#include "DataEntry.h"
#include "HorizontalLine.h"

#include <QList>

// The geometry of the bar chart: where each bar, its texts and the three guide lines go in a view of a given
// size. Nothing here is ever negative, however small the view: the drawable height shrinks to nothing first.
class BasicBarChartPresenter {
public:
    static constexpr double BarWidth = 20;
    static constexpr double Space = 30;
    static constexpr double BottomSpace = 40;
    static constexpr double TopSpace = 40;

    const QList<DataEntry>& dataEntries() const { return m_dataEntries; }
    void setDataEntries(const QList<DataEntry>& entries) { m_dataEntries = entries; }

    // Bars of the entries, centred when they fit with a gap to spare on both sides, else from the left edge.
    QList<BasicBarEntry> computeBarEntries(double viewHeight, double viewWidth) const;
    // Bottom (solid), middle at midPoint of the drawable height (dashed; half-way when midPoint is 0), top (solid).
    QList<HorizontalLine> computeHorizontalLines(double viewHeight, double viewWidth, double midPoint) const;
    // The width the bars need when they scroll: a gap before the first bar and after each.
    double contentWidth() const;

private:
    static double drawableHeight(double viewHeight);

    QList<DataEntry> m_dataEntries;
};
