#include "RemoteChangeWatcher.h"

#include "SqliteDatabase.h"

namespace {
// Often enough that another process's commit is noticed well within a second; a data_version read is
// a few microseconds.
constexpr int DefaultIntervalMs = 250;
}  // namespace

RemoteChangeWatcher::RemoteChangeWatcher(const SqliteDatabase& database, QObject* parent)
    : QObject(parent), m_database(database)
{
    m_timer.setInterval(DefaultIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RemoteChangeWatcher::check);
}

void RemoteChangeWatcher::start()
{
    m_lastVersion = m_database.dataVersion();
    m_timer.start();
}

void RemoteChangeWatcher::check()
{
    if (!m_database.isOpen())
        return;
    const qint64 version = m_database.dataVersion();
    if (m_lastVersion >= 0 && version != m_lastVersion) {
        m_lastVersion = version;
        emit remoteCommitDetected();
        return;
    }
    m_lastVersion = version;
}
