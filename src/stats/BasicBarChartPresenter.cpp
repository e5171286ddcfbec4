#include "BasicBarChartPresenter.h"

#include <algorithm>
#include <cmath>

double BasicBarChartPresenter::drawableHeight(double viewHeight)
{
    return std::max(0.0, viewHeight - BottomSpace - TopSpace);
}

double BasicBarChartPresenter::contentWidth() const
{
    return Space + (BarWidth + Space) * double(m_dataEntries.size());
}

QList<BasicBarEntry> BasicBarChartPresenter::computeBarEntries(double viewHeight, double viewWidth) const
{
    const double count = double(m_dataEntries.size());
    const double totalWidth = std::max(0.0, count * (BarWidth + Space) - Space);
    const double startX = viewWidth > totalWidth + 2 * Space ? (viewWidth - totalWidth) * 0.5 : Space;
    const double drawable = drawableHeight(viewHeight);
    const double bottom = TopSpace + drawable;
    QList<BasicBarEntry> bars;
    bars.reserve(m_dataEntries.size());
    for (qsizetype i = 0; i < m_dataEntries.size(); ++i) {
        const DataEntry& entry = m_dataEntries[i];
        // A share outside 0 to 1 (or no number at all) would draw past the guide lines.
        const double share = std::isfinite(entry.height) ? std::clamp(double(entry.height), 0.0, 1.0) : 0.0;
        const double barHeight = drawable * share;
        bars.append(BasicBarEntry{QPointF(startX + (BarWidth + Space) * double(i), bottom - barHeight), BarWidth,
                                  barHeight, Space, entry});
    }
    return bars;
}

QList<HorizontalLine> BasicBarChartPresenter::computeHorizontalLines(double viewHeight, double viewWidth,
                                                                     double midPoint) const
{
    if (midPoint == 0 || !std::isfinite(midPoint))
        midPoint = 0.5;
    const double drawable = drawableHeight(viewHeight);
    const double bottom = TopSpace + drawable;
    const double right = std::max(0.0, viewWidth);
    const double middle = bottom - drawable * std::clamp(midPoint, 0.0, 1.0);
    return {
        HorizontalLine{QLineF(0, bottom, right, bottom), false, 0.5},
        HorizontalLine{QLineF(0, middle, right, middle), true, 0.5},
        HorizontalLine{QLineF(0, TopSpace, right, TopSpace), false, 0.5},
    };
}
