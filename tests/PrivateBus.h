#pragma once

#include "RequiredTools.h"
#include "TestWait.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// A session bus of the test's own, with no services to start on demand: only what the test runs on it
// answers, so a notification daemon installed on the machine cannot interfere.
class PrivateBus {
public:
    PrivateBus()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                         .arg(m_dir.path())
                         .toUtf8());
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(RequiredTools::StartMs) ||
            !waitFor([this] { return m_daemon.canReadLine(); }, RequiredTools::StartMs))
            return;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_name = QStringLiteral("private-bus-%1").arg(quintptr(this));
    }
    ~PrivateBus()
    {
        if (!m_name.isEmpty())
            QDBusConnection::disconnectFromBus(m_name);
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }

    bool isRunning() const { return !m_address.isEmpty(); }
    const QString& address() const { return m_address; }
    QDBusConnection connection() { return QDBusConnection::connectToBus(m_address, m_name); }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_name;
};
