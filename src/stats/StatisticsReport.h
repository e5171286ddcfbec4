#pragma once

#include "DayStat.h"
#include "core/CardStats.h"

#include <QList>
#include <QString>

// The figures of one project's statistics, computed once by StatisticsManager::report().
struct StatisticsReport {
    // Every stored day with the unsaved stretch added.
    QList<DayStat> days;
    CardStats cardStats;
    qint64 todaysWords = 0;
    qint64 wordsPerDay = 0;
    qint64 streakDays = 0;
    int wordsTrend = 0;
    int timeTrend = 0;
    qint64 averageTimePerDay = 0;
    qint64 totalTime = 0;
    qint64 daysSpent = 0;
    qint64 wordsPerPage = 0;
    qint64 pages = 0;
    QString readingTimeText;
    QString busiestDayText;
    QString mostProductiveDayText;
};
