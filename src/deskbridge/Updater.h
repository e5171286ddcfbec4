#pragma once

#include "Appcast.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QMessageBox;
class QNetworkAccessManager;

namespace Deskbridge {

class FeedFetcher;

// The software updater: reads the update feed named in the settings, compares its newest release with the
// running version and offers the release's download page. It never installs anything itself: Plotvane is
// normally installed by the system's packages, and a feed is only configured for builds from elsewhere.
class Updater : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates WRITE setAutomaticallyChecksForUpdates)
    Q_PROPERTY(
        bool automaticallyDownloadsUpdates READ automaticallyDownloadsUpdates WRITE setAutomaticallyDownloadsUpdates)
    Q_PROPERTY(double updateCheckInterval READ updateCheckInterval WRITE setUpdateCheckInterval)
    Q_PROPERTY(bool started READ isStarted)
    Q_PROPERTY(int timeoutMs READ timeoutMs WRITE setTimeoutMs)

public:
    // The setting (QSettings of the application) that holds the feed's address.
    static inline const QString FeedUrlKey = QStringLiteral("SUFeedURL");
    static constexpr qint64 MaximumFeedBytes = 1024 * 1024;
    static constexpr int DefaultTimeoutMs = 15000;
    static inline const QString AlertObjectName = QStringLiteral("updateAlert");
    static inline const QString SystemPackagesMessage =
        QStringLiteral("Updates to %1 come with your system's packages.");

    enum class Outcome { UpToDate, UpdateAvailable, NoFeed, Failed };
    Q_ENUM(Outcome)

    // currentVersion: the running version, compared with the feed's.
    explicit Updater(QString currentVersion, QObject* parent = nullptr);
    ~Updater() override;

    bool automaticallyChecksForUpdates() const { return m_automaticChecks; }
    void setAutomaticallyChecksForUpdates(bool on);
    bool automaticallyDownloadsUpdates() const { return m_automaticDownloads; }
    void setAutomaticallyDownloadsUpdates(bool on) { m_automaticDownloads = on; }
    // Seconds between automatic checks once started.
    double updateCheckInterval() const { return m_interval; }
    void setUpdateCheckInterval(double seconds);
    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int timeoutMs) { m_timeoutMs = timeoutMs; }
    bool isStarted() const { return m_started; }
    QString currentVersion() const { return m_currentVersion; }

    // Starts the automatic checks; asking again restarts their clock.
    Q_INVOKABLE void startUpdater();
    // A silent check: only a newer release is shown.
    Q_INVOKABLE void checkForUpdatesInBackground();
    // A check the writer asked for: every outcome is shown.
    Q_INVOKABLE void checkForUpdates();

    // The feed's address from the settings, or empty when none is configured or it is not one we read.
    static QUrl feedUrl();
    // The newer release in a feed, or nothing when the running version is as new.
    std::optional<Appcast::Item> newerRelease(const QList<Appcast::Item>& items) const;
    std::optional<Appcast::Item> lastOffered() const { return m_lastOffered; }
    // How the offered page is opened; tests replace the desktop's browser.
    void setUrlOpener(std::function<void(const QUrl&)> opener) { m_openUrl = std::move(opener); }

signals:
    void checkFinished(Deskbridge::Updater::Outcome outcome, const QString& detail);

private:
    void check(bool userInitiated);
    void onFeed(const QByteArray& data, const QString& error);
    void finish(Outcome outcome, const QString& detail);
    void present(Outcome outcome, const QString& detail);
    void offer(const Appcast::Item& item);
    QMessageBox* makeAlert(const QString& text, const QString& informative);

    QString m_currentVersion;
    bool m_automaticChecks = false;
    bool m_automaticDownloads = false;
    double m_interval = 0;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_started = false;
    bool m_userInitiated = false;
    QTimer m_schedule;
    QNetworkAccessManager* m_network;
    FeedFetcher* m_fetcher;
    std::optional<Appcast::Item> m_lastOffered;
    QPointer<QMessageBox> m_alert;
    std::function<void(const QUrl&)> m_openUrl;
};

} // namespace Deskbridge
