#include "Appcast.h"
#include "VersionComparator.h"

#include <gtest/gtest.h>

using Deskbridge::Appcast;
using Deskbridge::VersionComparator;

namespace {

QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
           "<channel><title>Plotvane</title>" +
           items + "</channel></rss>";
}

TEST(VersionComparatorTest, numbersCompareByValueNotByText)
{
    EXPECT_GT(VersionComparator::compare(QStringLiteral("1.10"), QStringLiteral("1.9")), 0);
    EXPECT_LT(VersionComparator::compare(QStringLiteral("0.9.9"), QStringLiteral("0.10")), 0);
    EXPECT_EQ(VersionComparator::compare(QStringLiteral("1.02"), QStringLiteral("1.2")), 0);
    // Longer than any integer type: must not wrap around.
    EXPECT_GT(VersionComparator::compare(QStringLiteral("2.0"), QStringLiteral("1.99999999999999999999999")), 0);
    EXPECT_GT(VersionComparator::compare(QStringLiteral("100000000000000000000001"),
                                         QStringLiteral("100000000000000000000000")),
              0);
}

TEST(VersionComparatorTest, preReleasesComeBeforeTheReleaseAndExtraZerosChangeNothing)
{
    EXPECT_LT(VersionComparator::compare(QStringLiteral("1.0b2"), QStringLiteral("1.0")), 0);
    EXPECT_LT(VersionComparator::compare(QStringLiteral("1.0a3"), QStringLiteral("1.0b1")), 0);
    EXPECT_GT(VersionComparator::compare(QStringLiteral("1.0.1"), QStringLiteral("1.0b5")), 0);
    EXPECT_EQ(VersionComparator::compare(QStringLiteral("1.0"), QStringLiteral("1.0.0")), 0);
    EXPECT_GT(VersionComparator::compare(QStringLiteral("1.0.0.1"), QStringLiteral("1.0")), 0);
    EXPECT_LT(VersionComparator::compare(QStringLiteral("1.0"), QStringLiteral("1.0.0.1")), 0);
    EXPECT_EQ(VersionComparator::compare(QString(), QString()), 0);
}

TEST(AppcastTest, readsEveryReleaseAndPicksTheNewest)
{
    const Appcast::ParseResult result = Appcast::parse(feed(
        "<item><title>Version 1.9</title><link>https://plotvane.example/1.9</link>"
        "<enclosure url=\"https://plotvane.example/1.9.tar.gz\" sparkle:version=\"1.9\"/></item>"
        "<item><title>Version 1.10</title><sparkle:version>1.10</sparkle:version>"
        "<sparkle:shortVersionString>1.10 (autumn)</sparkle:shortVersionString>"
        "<enclosure url=\"https://plotvane.example/1.10.tar.gz\" length=\"10\" type=\"application/gzip\"/></item>"));
    ASSERT_TRUE(result.error.isEmpty()) << qPrintable(result.error);
    ASSERT_EQ(result.items.size(), 2);
    EXPECT_EQ(result.items[0].offeredPage(), QUrl(QStringLiteral("https://plotvane.example/1.9")));
    const auto newest = Appcast::newest(result.items);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->version, QStringLiteral("1.10"));
    EXPECT_EQ(newest->displayVersion, QStringLiteral("1.10 (autumn)"));
    EXPECT_EQ(newest->offeredPage(), QUrl(QStringLiteral("https://plotvane.example/1.10.tar.gz")));
}

TEST(AppcastTest, releasesPointingAtLocalFilesOrProgramsAreNeverOffered)
{
    const Appcast::ParseResult result = Appcast::parse(feed(
        "<item><link>file:///etc/passwd</link><enclosure url=\"javascript:alert(1)\" sparkle:version=\"9\"/></item>"
        "<item><enclosure url=\"/usr/bin/xterm\" sparkle:version=\"8\"/></item>"
        "<item><link>file:///tmp/x</link><enclosure url=\"https://plotvane.example/7.tar.gz\" "
        "sparkle:version=\"7\"/></item>"
        "<item><enclosure url=\"https://plotvane.example/noversion.tar.gz\"/></item>"));
    ASSERT_TRUE(result.error.isEmpty()) << qPrintable(result.error);
    ASSERT_EQ(result.items.size(), 1);
    EXPECT_EQ(result.items[0].version, QStringLiteral("7"));
    EXPECT_EQ(result.items[0].offeredPage(), QUrl(QStringLiteral("https://plotvane.example/7.tar.gz")));
}

TEST(AppcastTest, brokenOrForeignDocumentsAreErrorsNotEmptyFeeds)
{
    EXPECT_FALSE(Appcast::parse("<rss><channel><item><title>cut off").error.isEmpty());
    EXPECT_FALSE(Appcast::parse("<html><body>Not found</body></html>").error.isEmpty());
    EXPECT_FALSE(Appcast::parse(QByteArray()).error.isEmpty());
    // A prefix that is never declared is no sparkle version.
    EXPECT_FALSE(Appcast::parse("<rss><channel><item><enclosure url=\"https://a.example/x\" undeclared:version=\"2\"/>"
                                "</item></channel></rss>")
                     .error.isEmpty());
    const Appcast::ParseResult empty = Appcast::parse(feed(""));
    EXPECT_TRUE(empty.error.isEmpty());
    EXPECT_TRUE(empty.items.isEmpty());
    EXPECT_FALSE(Appcast::newest(empty.items));
}

} // namespace
