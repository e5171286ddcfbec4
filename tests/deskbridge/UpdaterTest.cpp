#include "Updater.h"
#include "FeedServer.h"
#include "TestWait.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Deskbridge::Updater;

namespace {

QByteArray feedWith(const QByteArray& version)
{
    return "<?xml version=\"1.0\"?><rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
           "<title>Version " +
           version +
           "</title><link>https://plotvane.example/download</link>"
           "<enclosure url=\"https://plotvane.example/plotvane.tar.gz\" sparkle:version=\"" +
           version + "\"/></item></channel></rss>";
}

QMessageBox* shownAlert()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == Updater::AlertObjectName && widget->isVisible())
            return qobject_cast<QMessageBox*>(widget);
    }
    return nullptr;
}

class UpdaterTest : public ::testing::Test {
protected:
    UpdaterTest() : updater(QStringLiteral("1.2.0")), spy(&updater, &Updater::checkFinished)
    {
        updater.setUrlOpener([this](const QUrl& url) { opened << url; });
    }
    ~UpdaterTest() override
    {
        QSettings().remove(Updater::FeedUrlKey);
        if (QMessageBox* alert = shownAlert())
            alert->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void setFeed(const QUrl& url) { QSettings().setValue(Updater::FeedUrlKey, url.toString()); }
    Updater::Outcome waitForOutcome(int timeoutMs = 10000)
    {
        if (spy.isEmpty() && !spy.wait(timeoutMs))
            ADD_FAILURE() << "the check never finished";
        return spy.isEmpty() ? Updater::Outcome::Failed : spy.last().at(0).value<Updater::Outcome>();
    }
    QString detail() const { return spy.isEmpty() ? QString() : spy.last().at(1).toString(); }

    Updater updater;
    QSignalSpy spy;
    QList<QUrl> opened;
};

TEST_F(UpdaterTest, newerReleaseOnTheFeedIsOfferedAndDownloadOpensItsPage)
{
    FeedServer server(FeedServer::Mode::Answer, feedWith("1.10"));
    setFeed(server.url());
    updater.checkForUpdatesInBackground();
    EXPECT_EQ(waitForOutcome(), Updater::Outcome::UpdateAvailable);
    EXPECT_EQ(detail(), QStringLiteral("1.10"));

    // Even a background check shows a newer release.
    QMessageBox* alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->informativeText().contains(QLatin1String("1.10")));
    auto* download = alert->findChild<QPushButton*>(QStringLiteral("downloadButton"));
    ASSERT_NE(download, nullptr);
    download->click();
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("https://plotvane.example/download"))});
}

TEST_F(UpdaterTest, sameOrOlderReleaseIsUpToDateAndSilentInTheBackground)
{
    FeedServer server(FeedServer::Mode::Answer, feedWith("1.2"));
    setFeed(server.url());
    updater.checkForUpdatesInBackground();
    EXPECT_EQ(waitForOutcome(), Updater::Outcome::UpToDate);
    EXPECT_EQ(shownAlert(), nullptr);

    updater.checkForUpdates();
    spy.clear();
    EXPECT_EQ(waitForOutcome(), Updater::Outcome::UpToDate);
    ASSERT_NE(shownAlert(), nullptr);
    EXPECT_EQ(shownAlert()->text(), QStringLiteral("You're up to date!"));
}

TEST_F(UpdaterTest, feedFromAFileIsReadToo)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("appcast.xml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(feedWith("2.0"));
    file.close();
    setFeed(QUrl::fromLocalFile(file.fileName()));
    updater.checkForUpdatesInBackground();
    EXPECT_EQ(waitForOutcome(), Updater::Outcome::UpdateAvailable);
}

TEST_F(UpdaterTest, oversizedFeedIsRefusedWhetherAnnouncedOrNot)
{
    const QByteArray huge = feedWith("9.0") + QByteArray(Updater::MaximumFeedBytes + 10, ' ');
    for (bool announce : {true, false}) {
        spy.clear();
        FeedServer server(FeedServer::Mode::Answer, huge, announce);
        setFeed(server.url());
        updater.checkForUpdatesInBackground();
        EXPECT_EQ(waitForOutcome(), Updater::Outcome::Failed) << "announced: " << announce;
        EXPECT_TRUE(detail().contains(QLatin1String("larger than"))) << qPrintable(detail());
    }
}

TEST_F(UpdaterTest, silentOrEndlesslyTricklingServerTimesOut)
{
    updater.setTimeoutMs(400);
    for (FeedServer::Mode mode : {FeedServer::Mode::Silent, FeedServer::Mode::Trickle}) {
        spy.clear();
        FeedServer server(mode);
        setFeed(server.url());
        updater.checkForUpdatesInBackground();
        EXPECT_EQ(waitForOutcome(), Updater::Outcome::Failed);
        EXPECT_TRUE(detail().contains(QLatin1String("in time"))) << qPrintable(detail());
        EXPECT_EQ(server.requests(), 1);
    }
}

TEST_F(UpdaterTest, withoutAUsableFeedTheUserCheckPointsToTheSystemPackages)
{
    for (const QString& setting : {QString(), QStringLiteral("javascript:alert(1)"), QStringLiteral("ftp://a.b/c")}) {
        spy.clear();
        QSettings().setValue(Updater::FeedUrlKey, setting);
        updater.checkForUpdatesInBackground();
        ASSERT_EQ(spy.size(), 1);
        EXPECT_EQ(spy.last().at(0).value<Updater::Outcome>(), Updater::Outcome::NoFeed);
        EXPECT_EQ(shownAlert(), nullptr);
    }
    updater.checkForUpdates();
    ASSERT_NE(shownAlert(), nullptr);
    EXPECT_TRUE(shownAlert()->text().contains(QLatin1String("come with your system's packages")));
}

TEST_F(UpdaterTest, brokenFeedFailsAndTheUserSeesTheError)
{
    FeedServer server(FeedServer::Mode::Answer, "<rss><channel><item>");
    setFeed(server.url());
    updater.checkForUpdates();
    EXPECT_EQ(waitForOutcome(), Updater::Outcome::Failed);
    ASSERT_NE(shownAlert(), nullptr);
    EXPECT_EQ(shownAlert()->text(), QStringLiteral("Update Error!"));
}

TEST_F(UpdaterTest, automaticChecksRunOnTheirIntervalOnlyOnceStartedAndWhileOn)
{
    updater.setAutomaticallyChecksForUpdates(true);
    updater.setUpdateCheckInterval(0.05);
    runEventsFor(200);
    EXPECT_TRUE(spy.isEmpty()) << "checked before being started";

    updater.startUpdater();
    EXPECT_TRUE(spy.wait(30000));
    // Switched off mid-run: no timer may keep firing checks.
    updater.setAutomaticallyChecksForUpdates(false);
    spy.clear();
    runEventsFor(200);
    EXPECT_TRUE(spy.isEmpty());
}

} // namespace
