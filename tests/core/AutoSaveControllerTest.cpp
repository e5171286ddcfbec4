#include "core/AutoSaveController.h"
#include "platform/archive/ArchiveObject.h"
#include "platform/archive/KeyedArchiver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

const QString ProjectId = QStringLiteral("5A0C7E0E-6D54-4C1F-9B61-1B2F3A4C5D6E");

void writeSnapshot(const QString& projectId, bool forSecondary, const QByteArray& bytes = "snapshot")
{
    ASSERT_TRUE(QDir().mkpath(AutoSaveController::autoSaveDirectory()));
    QFile file(*AutoSaveController::autoSavePath(projectId, forSecondary));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class AutoSaveControllerTest : public ::testing::Test {
protected:
    void SetUp() override { QDir(AutoSaveController::autoSaveDirectory()).removeRecursively(); }
    void TearDown() override { QDir(AutoSaveController::autoSaveDirectory()).removeRecursively(); }
};

} // namespace

TEST_F(AutoSaveControllerTest, snapshotFilesAreNamedByProjectAndEditor)
{
    EXPECT_TRUE(AutoSaveController::autoSaveDirectory().endsWith(QStringLiteral("/Documents")));
    EXPECT_EQ(QFileInfo(*AutoSaveController::autoSavePath(ProjectId, false)).fileName(), ProjectId + "_primary");
    EXPECT_EQ(QFileInfo(*AutoSaveController::autoSavePath(ProjectId, true)).fileName(), ProjectId + "_secondary");
}

TEST_F(AutoSaveControllerTest, missingOrUndecodableSnapshotGivesNothing)
{
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
    writeSnapshot(ProjectId, false, QByteArray("not an archive"));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
}

TEST_F(AutoSaveControllerTest, primaryTakesOverAnOrphanedSecondarySnapshot)
{
    writeSnapshot(ProjectId, true);
    AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
}

TEST_F(AutoSaveControllerTest, secondaryIsLeftAloneWhilePrimaryExists)
{
    writeSnapshot(ProjectId, false, "primary");
    writeSnapshot(ProjectId, true, "secondary");
    AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    QFile primary(*AutoSaveController::autoSavePath(ProjectId, false));
    ASSERT_TRUE(primary.open(QIODevice::ReadOnly));
    EXPECT_EQ(primary.readAll(), QByteArray("primary"));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, true));
}

TEST_F(AutoSaveControllerTest, deleteRemovesOnlyThatEditorsSnapshot)
{
    writeSnapshot(ProjectId, false);
    writeSnapshot(ProjectId, true);
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, true);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, true));
    EXPECT_TRUE(AutoSaveController::autoSaveExists(ProjectId, false));
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
    EXPECT_FALSE(AutoSaveController::autoSaveExists(ProjectId, false));
    AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
}

TEST_F(AutoSaveControllerTest, identifiersThatAreNotFileNamesNeverReachOutsideTheFolder)
{
    // A victim file beside the snapshot folder that a crafted identifier would otherwise delete.
    const QString victim = QFileInfo(AutoSaveController::autoSaveDirectory()).absolutePath() + "/victim_primary";
    QDir().mkpath(QFileInfo(victim).absolutePath());
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const QString& id :
         {QStringLiteral("../victim"), QStringLiteral(""), QStringLiteral(".hidden"), QStringLiteral("a\\b")}) {
        EXPECT_EQ(AutoSaveController::autoSavePath(id, false), std::nullopt);
        AutoSaveController::deleteAutoSaveWithProjectId(id, false);
        EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(id, false), std::nullopt);
    }
    EXPECT_TRUE(QFileInfo::exists(victim));
    QFile::remove(victim);
}

TEST_F(AutoSaveControllerTest, archivedSnapshotReadsBackItsValues)
{
    const QDateTime saved(QDate(2024, 5, 1), QTime(10, 30), QTimeZone::utc());
    const QByteArray body("archived body");
    const QByteArray bytes = KeyedArchiver::archive(ArchiveObject::dictionary(
        QList<std::pair<QString, ArchiveRef>>{
            {AutoSaveController::kProjectIdKey, ArchiveObject::string(ProjectId)},
            {AutoSaveController::kTitleKey, ArchiveObject::string(QStringLiteral("Draft"), "NSMutableString")},
            {AutoSaveController::kItemTypeKey, ArchiveObject::integer(3)},
            {AutoSaveController::kContentKey, ArchiveObject::data(body, "NSMutableData")},
            {AutoSaveController::kItemSaveDateKey, ArchiveObject::date(saved)},
        },
        QStringLiteral("NSMutableDictionary")));
    writeSnapshot(ProjectId, false, bytes);

    const std::optional<QVariantMap> snapshot = AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false);
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->value(AutoSaveController::kProjectIdKey).toString(), ProjectId);
    EXPECT_EQ(snapshot->value(AutoSaveController::kTitleKey).toString(), QStringLiteral("Draft"));
    EXPECT_EQ(snapshot->value(AutoSaveController::kItemTypeKey).toLongLong(), 3);
    EXPECT_EQ(snapshot->value(AutoSaveController::kContentKey).toByteArray(), body);
    EXPECT_EQ(snapshot->value(AutoSaveController::kItemSaveDateKey).toDateTime(), saved);
}

TEST_F(AutoSaveControllerTest, snapshotNamingAForeignClassIsRefused)
{
    const QByteArray bytes = KeyedArchiver::archive(ArchiveObject::dictionary(QList<std::pair<QString, ArchiveRef>>{
        {AutoSaveController::kTitleKey, ArchiveObject::instance(QStringLiteral("NSURL"), {})}}));
    writeSnapshot(ProjectId, false, bytes);
    EXPECT_EQ(AutoSaveController::hasAutoSaveWithProjectId(ProjectId, false), std::nullopt);
}
