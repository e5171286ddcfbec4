#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// One calendar day of writing: the words gained and seconds spent, summed over the day's records, named
// by the newest record of the day. Also stands for a single record, and for the open editor's unsaved
// stretch of writing.
class DayStat {
public:
    DayStat(QString projectId, QString projectItemId, QDateTime startTime, qint64 time, QString uniqueIdentifier,
            qint64 wordCount);

    const QString& projectId() const { return m_projectId; }
    const QString& projectItemId() const { return m_projectItemId; }
    // When the record that opened the day began (not moved to midnight); null when unknown.
    const QDateTime& startTime() const { return m_startTime; }
    qint64 time() const { return m_time; }
    const QString& uniqueIdentifier() const { return m_uniqueIdentifier; }
    // May be zero or negative: words deleted count against the day.
    qint64 wordCount() const { return m_wordCount; }

    // Adds another stretch of the same day.
    void add(qint64 time, qint64 wordCount);

private:
    QString m_projectId;
    QString m_projectItemId;
    QDateTime m_startTime;
    qint64 m_time = 0;
    QString m_uniqueIdentifier;
    qint64 m_wordCount = 0;
};
