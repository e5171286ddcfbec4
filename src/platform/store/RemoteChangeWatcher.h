#pragma once

#include <QObject>
#include <QTimer>

class SqliteDatabase;

// Notices commits that other connections make to the store file, within a fraction of a second.
class RemoteChangeWatcher : public QObject {
    Q_OBJECT

public:
    RemoteChangeWatcher(const SqliteDatabase& database, QObject* parent = nullptr);

    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    void start();
    void stop() { m_timer.stop(); }
    // Looks at once instead of waiting for the timer.
    void check();

signals:
    void remoteCommitDetected();

private:
    const SqliteDatabase& m_database;
    QTimer m_timer;
    qint64 m_lastVersion = -1;
};
