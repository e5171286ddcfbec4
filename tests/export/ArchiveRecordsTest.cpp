#include "export/ArchiveValues.h"
#include "export/ProjectArchiveObject.h"
#include "export/StatArchiveObject.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

const QDateTime Now = QDateTime::fromMSecsSinceEpoch(1800000000000, Qt::UTC);
const QDateTime Epoch = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);

QDateTime dateOf(const QString& text)
{
    return ArchiveValues::date(QJsonObject{{QStringLiteral("d"), text}}, QStringLiteral("d"), Now);
}

qint64 integerOf(const QString& text)
{
    return ArchiveValues::integer(QJsonObject{{QStringLiteral("n"), text}}, QStringLiteral("n"));
}

} // namespace

TEST(ArchiveValuesTest, datesAreWrittenShortestWithAFraction)
{
    EXPECT_EQ(ArchiveValues::dateText(Epoch), QStringLiteral("0.0"));
    EXPECT_EQ(ArchiveValues::dateText(QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC)),
              QStringLiteral("1700000000.0"));
    EXPECT_EQ(ArchiveValues::dateText(QDateTime::fromMSecsSinceEpoch(1700000000250, Qt::UTC)),
              QStringLiteral("1700000000.25"));
    EXPECT_EQ(ArchiveValues::dateText(QDateTime::fromMSecsSinceEpoch(-1500, Qt::UTC)), QStringLiteral("-1.5"));
}

TEST(ArchiveValuesTest, onlyFiniteDatesInRangeAreAccepted)
{
    EXPECT_EQ(dateOf(QStringLiteral("1700000000.25")), QDateTime::fromMSecsSinceEpoch(1700000000250, Qt::UTC));
    EXPECT_EQ(dateOf(QStringLiteral("1.7e9")), QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC));
    for (const QString& bad : {QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("-inf"),
                               QStringLiteral("1e400"), QStringLiteral(" 5"), QStringLiteral("5 "), QString(),
                               QStringLiteral("0x10"), QStringLiteral("1,5"), QStringLiteral("253402300800")}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_EQ(dateOf(bad), Epoch);
    }
    EXPECT_EQ(dateOf(QStringLiteral("253402300799")).toMSecsSinceEpoch(), 253402300799000);
    EXPECT_EQ(ArchiveValues::date(QJsonObject{}, QStringLiteral("d"), Now), Now);
}

TEST(ArchiveValuesTest, integersAreDigitsOnly)
{
    EXPECT_EQ(integerOf(QStringLiteral("-12")), -12);
    EXPECT_EQ(integerOf(QStringLiteral("+7")), 7);
    EXPECT_EQ(integerOf(QStringLiteral(" 3")), 0);
    EXPECT_EQ(integerOf(QStringLiteral("1.5")), 0);
    EXPECT_EQ(integerOf(QStringLiteral("99999999999999999999")), 0);
    EXPECT_EQ(integerOf(QStringLiteral("9223372036854775807")), std::numeric_limits<qint64>::max());
}

TEST(ArchiveRecordsTest, projectRecordNeedsTitleAndIdentifierAndStrings)
{
    EXPECT_FALSE(ProjectArchiveObject::fromJsonData("not json"));
    EXPECT_FALSE(ProjectArchiveObject::fromJsonData("[]"));
    EXPECT_FALSE(ProjectArchiveObject::fromJsonData("{\"projectTitle\": \"T\"}"));
    EXPECT_FALSE(ProjectArchiveObject::fromJsonData("{\"projectTitle\": \"T\", \"uniqueIdentifier\": \"U\", "
                                                    "\"displayOrder\": 3}"));
    const auto record = ProjectArchiveObject::fromJsonData(
        "{\"projectTitle\": \"T\", \"uniqueIdentifier\": \"U\", \"lastModified\": \"nope\", \"image\": \"%%\"}", Now);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->lastModified, Epoch);
    EXPECT_EQ(record->projectDate, Now);
    EXPECT_FALSE(record->image && !record->image->isEmpty());
    EXPECT_EQ(record->linkedPath, QString());
    // An archived image with no bytes is no image: it is not written back.
    const auto blank =
        ProjectArchiveObject::fromJsonData("{\"projectTitle\": \"T\", \"uniqueIdentifier\": \"U\", \"image\": \"\"}");
    ASSERT_TRUE(blank);
    EXPECT_FALSE(QJsonDocument::fromJson(blank->jsonData()).object().contains(QStringLiteral("image")));
}

TEST(ArchiveRecordsTest, statEntryNeedsItsKeysAndReadsFractionsAsZero)
{
    EXPECT_FALSE(StatArchiveObject::fromDictionary(QJsonValue(QStringLiteral("x"))));
    EXPECT_FALSE(StatArchiveObject::fromDictionary(
        QJsonObject{{QStringLiteral("projectId"), QStringLiteral("P")}, {QStringLiteral("uniqueIdentifier"), "U"}}));
    const auto stat =
        StatArchiveObject::fromDictionary(QJsonObject{{QStringLiteral("projectId"), QStringLiteral("P")},
                                                      {QStringLiteral("projectItemId"), QStringLiteral("I")},
                                                      {QStringLiteral("uniqueIdentifier"), "U"},
                                                      {QStringLiteral("time"), QStringLiteral("2.5")},
                                                      {QStringLiteral("startTime"), QStringLiteral("inf")}},
                                          Now);
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->time, 0);
    EXPECT_EQ(stat->startTime, Epoch);
}
