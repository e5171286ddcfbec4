#include "Updater.h"

#include "FeedFetcher.h"
#include "VersionComparator.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QSettings>

#include <limits>

namespace Deskbridge {

namespace {

QString applicationName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Plotvane") : name;
}

} // namespace

Updater::Updater(QString currentVersion, QObject* parent)
    : QObject(parent), m_currentVersion(std::move(currentVersion)), m_network(new QNetworkAccessManager(this)),
      m_fetcher(new FeedFetcher(m_network, this)), m_openUrl([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    connect(m_fetcher, &FeedFetcher::finished, this, &Updater::onFeed);
    connect(&m_schedule, &QTimer::timeout, this, &Updater::checkForUpdatesInBackground);
}

Updater::~Updater()
{
    delete m_alert;
}

void Updater::setAutomaticallyChecksForUpdates(bool on)
{
    m_automaticChecks = on;
    if (!on)
        m_schedule.stop();
    else if (m_started)
        startUpdater();
}

void Updater::setUpdateCheckInterval(double seconds)
{
    m_interval = seconds;
    if (m_started && m_automaticChecks)
        startUpdater();
}

void Updater::startUpdater()
{
    m_started = true;
    // A day in milliseconds still fits an int; a longer interval is held at the timer's limit.
    const double milliseconds = qBound(1.0, m_interval * 1000.0, double(std::numeric_limits<int>::max()));
    if (m_automaticChecks && m_interval > 0)
        m_schedule.start(int(milliseconds));
}

void Updater::checkForUpdatesInBackground()
{
    check(false);
}

void Updater::checkForUpdates()
{
    check(true);
}

QUrl Updater::feedUrl()
{
    const QUrl url(QSettings().value(FeedUrlKey).toString().trimmed());
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || !(scheme == u"https" || scheme == u"http" || scheme == u"file"))
        return {};
    return url;
}

std::optional<Appcast::Item> Updater::newerRelease(const QList<Appcast::Item>& items) const
{
    std::optional<Appcast::Item> newest = Appcast::newest(items);
    if (newest && VersionComparator::compare(newest->version, m_currentVersion) > 0)
        return newest;
    return std::nullopt;
}

void Updater::check(bool userInitiated)
{
    // A check already under way answers this request too; the writer's request makes its answer visible.
    m_userInitiated = m_userInitiated || userInitiated;
    if (m_fetcher->isFetching())
        return;
    const QUrl url = feedUrl();
    if (url.isEmpty()) {
        finish(Outcome::NoFeed, SystemPackagesMessage.arg(applicationName()));
        return;
    }
    m_fetcher->fetch(url, m_timeoutMs, MaximumFeedBytes);
}

void Updater::onFeed(const QByteArray& data, const QString& error)
{
    if (!error.isEmpty()) {
        finish(Outcome::Failed, error);
        return;
    }
    const Appcast::ParseResult feed = Appcast::parse(data);
    if (!feed.error.isEmpty()) {
        finish(Outcome::Failed, feed.error);
        return;
    }
    m_lastOffered = newerRelease(feed.items);
    if (m_lastOffered)
        finish(Outcome::UpdateAvailable, m_lastOffered->displayVersion);
    else
        finish(Outcome::UpToDate, m_currentVersion);
}

void Updater::finish(Outcome outcome, const QString& detail)
{
    const bool visible = m_userInitiated || outcome == Outcome::UpdateAvailable;
    m_userInitiated = false;
    if (visible)
        present(outcome, detail);
    emit checkFinished(outcome, detail);
}

void Updater::present(Outcome outcome, const QString& detail)
{
    const QString name = applicationName();
    switch (outcome) {
    case Outcome::NoFeed:
        makeAlert(detail, {})->show();
        return;
    case Outcome::UpToDate:
        makeAlert(QStringLiteral("You're up to date!"),
                  QStringLiteral("%1 %2 is currently the newest version available.").arg(name, detail))
            ->show();
        return;
    case Outcome::Failed:
        makeAlert(QStringLiteral("Update Error!"),
                  QStringLiteral("An error occurred in retrieving update information. Please try again later.\n%1")
                      .arg(detail))
            ->show();
        return;
    case Outcome::UpdateAvailable:
        if (m_lastOffered)
            offer(*m_lastOffered);
        return;
    }
}

void Updater::offer(const Appcast::Item& item)
{
    QMessageBox* alert = makeAlert(QStringLiteral("A new version of %1 is available!").arg(applicationName()),
                                   QStringLiteral("%1 %2 is now available—you have %3. Would you like to open its "
                                                  "download page?")
                                       .arg(applicationName(), item.displayVersion, m_currentVersion));
    QPushButton* download = alert->addButton(QStringLiteral("Download"), QMessageBox::AcceptRole);
    download->setObjectName(QStringLiteral("downloadButton"));
    alert->addButton(QStringLiteral("Remind Me Later"), QMessageBox::RejectRole);
    const QUrl page = item.offeredPage();
    connect(download, &QPushButton::clicked, this, [this, page] { m_openUrl(page); });
    alert->show();
}

QMessageBox* Updater::makeAlert(const QString& text, const QString& informative)
{
    // One answer on screen at a time; a newer answer replaces an older one left open.
    delete m_alert;
    auto* alert = new QMessageBox(QMessageBox::Information, QStringLiteral("Check for Updates"), text);
    alert->setObjectName(AlertObjectName);
    alert->setInformativeText(informative);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setModal(false);
    m_alert = alert;
    return alert;
}

} // namespace Deskbridge
