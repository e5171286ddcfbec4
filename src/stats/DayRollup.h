#pragma once

#include "DayStat.h"

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
    // The days, newest first, with the unsaved stretch added into its day or placed in date order; one
    // without a start time is ignored.
    QList<DayStat> finish(const std::optional<DayStat>& unsaved = std::nullopt);
    // Adds the unsaved stretch into its day of a finished roll-up, or places it in date order as a day of its own.
    static void addUnsaved(QList<DayStat>& days, const DayStat& unsaved);

private:
    QDate dayOf(const QDateTime& moment);

    qint64 m_limit;
    bool m_unlimited;
    qint64 m_total = 0;
    QList<DayStat> m_days;
    QHash<QDate, qsizetype> m_index;
    // The local day found last, with its bounds in UTC milliseconds: records mostly share a few days, and a
    // moment inside these bounds needs no conversion to local time.
    QDate m_lastDay;
    qint64 m_lastStart = 0;
    qint64 m_lastEnd = 0;
};
