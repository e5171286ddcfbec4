#include "DayRollup.h"

DayRollup::DayRollup(qint64 limit, bool unlimited) : m_limit(limit), m_unlimited(unlimited)
{
}

QDate DayRollup::dayOf(const QDateTime& moment)
{
    const qint64 at = moment.toMSecsSinceEpoch();
    if (m_lastDay.isValid() && at >= m_lastStart && at < m_lastEnd)
        return m_lastDay;
    m_lastDay = moment.toLocalTime().date();
    // Local midnights, so a day of 23 or 25 hours is measured as it is.
    m_lastStart = QDateTime(m_lastDay, QTime(0, 0)).toMSecsSinceEpoch();
    m_lastEnd = QDateTime(m_lastDay.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    return m_lastDay;
}

bool DayRollup::add(const DayStat& record)
{
    if (!record.startTime().isValid())
        return true;
    const QDate day = dayOf(record.startTime());
    const auto found = m_index.constFind(day);
    if (found != m_index.cend()) {
        m_days[*found].add(record.time(), record.wordCount());
    } else {
        m_index.insert(day, m_days.size());
        m_days.append(record);
    }
    m_total += record.wordCount();
    return m_unlimited || m_total <= m_limit;
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
