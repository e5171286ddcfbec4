#include "DayRollup.h"

DayRollup::DayRollup(qint64 limit, bool unlimited) : m_limit(limit), m_unlimited(unlimited)
{
}

template <typename Make> bool DayRollup::take(qint64 msecs, qint64 time, qint64 wordCount, Make make)
{
    const QDate day = m_calendar.dayOf(msecs);
    if (day != m_currentDay) {
        m_current = m_index.value(day, -1);
        m_currentDay = day;
    }
    if (m_current >= 0) {
        m_days[m_current].add(time, wordCount);
    } else {
        m_current = m_days.size();
        m_index.insert(day, m_current);
        m_days.append(make());
    }
    m_total += wordCount;
    return m_unlimited || m_total <= m_limit;
}

bool DayRollup::add(const DayStat& record)
{
    if (!record.startTime().isValid())
        return true;
    return take(record.startTime().toMSecsSinceEpoch(), record.time(), record.wordCount(), [&] { return record; });
}

bool DayRollup::add(const QString& projectId, qint64 startMSecs, qint64 time, qint64 wordCount)
{
    return take(startMSecs, time, wordCount, [&] {
        return DayStat(projectId, QString(), QDateTime::fromMSecsSinceEpoch(startMSecs, Qt::UTC), time, QString(),
                       wordCount);
    });
}

QList<DayStat> DayRollup::finish(const std::optional<DayStat>& unsaved)
{
    if (unsaved)
        addUnsaved(m_days, *unsaved);
    return m_days;
}

void DayRollup::addUnsaved(QList<DayStat>& days, const DayStat& unsaved)
{
    if (!unsaved.startTime().isValid())
        return;
    const QDate day = unsaved.startTime().toLocalTime().date();
    qsizetype at = 0;
    for (; at < days.size(); ++at) {
        const QDate existing = days[at].startTime().toLocalTime().date();
        if (existing == day) {
            days[at].add(unsaved.time(), unsaved.wordCount());
            return;
        }
        if (existing < day)
            break;
    }
    days.insert(at, unsaved);
}
