#pragma once

#include "DayStat.h"
#include "platform/LocalDayCache.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <optional>

// Rolls writing records, taken newest first, up into one DayStat per calendar day of the writer. Records
// are handed over one at a time, so years of them are never held at once.
class DayRollup {
public:
    // Unless unlimited, the roll-up is complete once the running word total passes limit.
    DayRollup(qint64 limit, bool unlimited);

    // Takes one record; false once the roll-up needs no more. A record without a start time is skipped.
    bool add(const DayStat& record);
    // The same for a record of projectId known by its figures alone, its start in milliseconds since 1970:
    // nothing is made for it unless it opens a day.
    bool add(const QString& projectId, qint64 startMSecs, qint64 time, qint64 wordCount);
    // The days, newest first, with the unsaved stretch added into its day or placed in date order; one
    // without a start time is ignored.
    QList<DayStat> finish(const std::optional<DayStat>& unsaved = std::nullopt);
    // Adds the unsaved stretch into its day of a finished roll-up, or places it in date order as a day of its own.
    static void addUnsaved(QList<DayStat>& days, const DayStat& unsaved);

private:
    // Adds the figures into the day of the moment, or opens the day with the record make() answers.
    template <typename Make> bool take(qint64 msecs, qint64 time, qint64 wordCount, Make make);

    qint64 m_limit;
    bool m_unlimited;
    qint64 m_total = 0;
    QList<DayStat> m_days;
    QHash<QDate, qsizetype> m_index;
    // Records mostly share a few days: a moment inside the day found last needs no conversion to local time.
    LocalDayCache m_calendar;
    // The day the last record went into: records come newest first, so most share it with the one before.
    QDate m_currentDay;
    qsizetype m_current = 0;
};
