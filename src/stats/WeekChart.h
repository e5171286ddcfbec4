#pragma once

#include "DayStat.h"

#include <QDate>
#include <QList>

// The figures of the statistics screen's weekly chart: one slot per day of the current week, Sunday to Saturday,
// with the words of that day, the bar's share of the chart's height and how the day compares with the average.
class WeekChart {
public:
    // Below this average the chart's scale is set by a small fixed reference instead.
    static constexpr qint64 MinimumAverageForReference = 10;
    static constexpr qint64 SmallReference = 5;

    enum class Tone { Future, NoWords, Negative, BelowAverage, AtOrAboveAverage };

    struct Slot {
        QDate day;
        qint64 words = 0;
        float height = 0;
        Tone tone = Tone::Future;
    };

    struct Data {
        QList<Slot> week;
        // The dashed line: the average (or the small reference) as a share of the height.
        float midPoint = 0.5f;
        qint64 maximum = 0;
        qint64 scale = 0;
    };

    // todaysWords goes into today's slot; the other days of the week take their words from days (newest first).
    static Data build(qint64 todaysWords, qint64 wordsPerDay, const QList<DayStat>& days, const QDate& today);
};
