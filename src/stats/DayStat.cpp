#include "DayStat.h"

#include <utility>

DayStat::DayStat(QString projectId, QString projectItemId, QDateTime startTime, qint64 time, QString uniqueIdentifier,
                 qint64 wordCount)
    : m_projectId(std::move(projectId)), m_projectItemId(std::move(projectItemId)), m_startTime(std::move(startTime)),
      m_time(time), m_uniqueIdentifier(std::move(uniqueIdentifier)), m_wordCount(wordCount)
{
}

void DayStat::add(qint64 time, qint64 wordCount)
{
    m_time += time;
    m_wordCount += wordCount;
}
