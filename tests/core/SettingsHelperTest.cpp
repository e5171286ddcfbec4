#include "core/SettingsHelper.h"
#include "TestStore.h"
#include "core/ProjectSetting.h"

#include <gtest/gtest.h>

namespace {

const QString ProjectA = QStringLiteral("PROJECT-A");
const QString ProjectB = QStringLiteral("PROJECT-B");

ProjectSetting* insertSetting(ManagedObjectContext* context, const QString& projectId, const QString& name,
                              const QVariant& value)
{
    auto* setting = context->insertNew<ProjectSetting>();
    setting->setUniqueIdentifier(name + projectId);
    setting->setProjectId(projectId);
    setting->setName(name);
    setting->ManagedObject::setValue(ProjectSetting::ValueKey, value);
    return setting;
}

} // namespace

TEST(SettingsHelperTest, projectWithoutRecordsReadsDefaults)
{
    TestStore store;
    ManagedObjectContext* context = store.context();
    EXPECT_EQ(SettingsHelper::getWordTarget(context, ProjectA), 0);
    EXPECT_EQ(SettingsHelper::getWordsPerPage(context, ProjectA), 330);
    EXPECT_EQ(SettingsHelper::getSceneSeparator(context, ProjectA), QStringLiteral("###"));
    EXPECT_TRUE(SettingsHelper::getSmartQuotesConversion(context, ProjectA));
    EXPECT_TRUE(SettingsHelper::getWideGutters(context, ProjectA));
    EXPECT_TRUE(SettingsHelper::getIncludeBlankScenes(context, ProjectA));
    EXPECT_FALSE(SettingsHelper::getAutoIndent(context, ProjectA));
    EXPECT_EQ(SettingsHelper::getDateValue(context, ProjectA, SettingsHelper::AchievementKeyPrefix + "first"),
              QDateTime::fromMSecsSinceEpoch(0, Qt::UTC));
}

TEST(SettingsHelperTest, writingTwiceKeepsOneRecordAndSurvivesReopen)
{
    TestStore store;
    ASSERT_TRUE(SettingsHelper::setValue(store.context(), ProjectA, SettingsHelper::WordsPerPageKey, "250"));
    ASSERT_TRUE(SettingsHelper::setValue(store.context(), ProjectA, SettingsHelper::WordsPerPageKey, "275"));
    EXPECT_EQ(SettingsHelper::fetchSettings(ProjectA, store.context()).size(), 1);
    store.reopen();
    EXPECT_EQ(SettingsHelper::getWordsPerPage(store.context(), ProjectA), 275);
    EXPECT_EQ(SettingsHelper::getWordsPerPage(store.context(), ProjectB), 330);
}

TEST(SettingsHelperTest, flagsRoundTripAsTrueFalseText)
{
    TestStore store;
    ManagedObjectContext* context = store.context();
    ASSERT_TRUE(SettingsHelper::setValue(context, ProjectA, SettingsHelper::WideGuttersKey,
                                         SettingsHelper::textFromBool(false)));
    ASSERT_TRUE(
        SettingsHelper::setValue(context, ProjectA, SettingsHelper::AutoIndentKey, SettingsHelper::textFromBool(true)));
    EXPECT_EQ(SettingsHelper::fetchSetting(context, ProjectA, SettingsHelper::WideGuttersKey)->value(),
              QStringLiteral("false"));
    EXPECT_EQ(SettingsHelper::fetchSetting(context, ProjectA, SettingsHelper::AutoIndentKey)->value(),
              QStringLiteral("true"));
    EXPECT_FALSE(SettingsHelper::getWideGutters(context, ProjectA));
    EXPECT_TRUE(SettingsHelper::getAutoIndent(context, ProjectA));
}

TEST(SettingsHelperTest, textConversionsReadLikeFoundation)
{
    EXPECT_EQ(SettingsHelper::intFromText(QStringLiteral("  42abc")), 42);
    EXPECT_EQ(SettingsHelper::intFromText(QStringLiteral("-7")), -7);
    EXPECT_EQ(SettingsHelper::intFromText(QStringLiteral("abc")), 0);
    EXPECT_EQ(SettingsHelper::intFromText(QStringLiteral("99999999999999999999")), std::numeric_limits<qint64>::max());
    EXPECT_EQ(SettingsHelper::intFromText(QStringLiteral("-99999999999999999999")), std::numeric_limits<qint64>::min());
    for (const char* yes : {"true", "YES", "y", "T", " 1", "007", "-3"})
        EXPECT_TRUE(SettingsHelper::boolFromText(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"false", "no", "", "0", "000", "maybe"})
        EXPECT_FALSE(SettingsHelper::boolFromText(QString::fromLatin1(no))) << no;
    EXPECT_DOUBLE_EQ(SettingsHelper::doubleFromText(QStringLiteral("1700000000.25")), 1700000000.25);
    EXPECT_DOUBLE_EQ(SettingsHelper::doubleFromText(QStringLiteral(" -2.5e3x")), -2500.0);
    // Only an e or E starts an exponent; digits after any other letter are not part of the number.
    EXPECT_DOUBLE_EQ(SettingsHelper::doubleFromText(QStringLiteral("2.5x3")), 2.5);
    EXPECT_DOUBLE_EQ(SettingsHelper::doubleFromText(QStringLiteral("4E2")), 400.0);
    EXPECT_DOUBLE_EQ(SettingsHelper::doubleFromText(QStringLiteral("nan")), 0.0);
    EXPECT_DOUBLE_EQ(SettingsHelper::doubleFromText(QStringLiteral("1e999")), 0.0);
}

TEST(SettingsHelperTest, fractionalAchievementDateReadsExactMoment)
{
    TestStore store;
    const QString key = SettingsHelper::AchievementKeyPrefix + QStringLiteral("words.1000");
    ASSERT_TRUE(SettingsHelper::setValue(store.context(), ProjectA, key, QStringLiteral("1700000000.25")));
    EXPECT_EQ(SettingsHelper::getDateValue(store.context(), ProjectA, key).toMSecsSinceEpoch(), 1700000000250);
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(1600000000125, Qt::UTC);
    ASSERT_TRUE(SettingsHelper::setValue(store.context(), ProjectA, key, SettingsHelper::textFromDate(moment)));
    EXPECT_EQ(SettingsHelper::getDateValue(store.context(), ProjectA, key), moment);
}

TEST(SettingsHelperTest, deferredWriteIsVisibleBeforeSave)
{
    TestStore store;
    ManagedObjectContext* context = store.context();
    ASSERT_TRUE(SettingsHelper::setValue(context, ProjectA, SettingsHelper::WordTargetKey, "80000", true));
    EXPECT_TRUE(context->hasChanges());
    EXPECT_EQ(SettingsHelper::getWordTarget(context, ProjectA), 80000);
    ASSERT_TRUE(SettingsHelper::setValue(context, ProjectA, SettingsHelper::WordTargetKey, "90000", true));
    EXPECT_EQ(SettingsHelper::fetchSettings(ProjectA, context).size(), 1);
    EXPECT_FALSE(SettingsHelper::saveContext(context).has_value());
    EXPECT_FALSE(context->hasChanges());
}

TEST(SettingsHelperTest, nilValueReadsAsDefault)
{
    TestStore store;
    insertSetting(store.context(), ProjectA, SettingsHelper::WordsPerPageKey, QVariant());
    insertSetting(store.context(), ProjectA, SettingsHelper::SceneSeparatorKey, QVariant());
    EXPECT_EQ(SettingsHelper::getWordsPerPage(store.context(), ProjectA), 330);
    EXPECT_EQ(SettingsHelper::getSceneSeparator(store.context(), ProjectA), QStringLiteral("###"));
}

TEST(SettingsHelperTest, duplicateRecordsReadOldestFirst)
{
    TestStore store;
    ManagedObjectContext* context = store.context();
    insertSetting(context, ProjectA, SettingsHelper::WordTargetKey, QStringLiteral("100"));
    ASSERT_FALSE(context->save().has_value());
    insertSetting(context, ProjectA, SettingsHelper::WordTargetKey, QStringLiteral("200"));
    ASSERT_FALSE(context->save().has_value());
    insertSetting(context, ProjectA, SettingsHelper::WordTargetKey, QStringLiteral("300"));
    EXPECT_EQ(SettingsHelper::getWordTarget(context, ProjectA), 100);
    store.reopen();
    for (int read = 0; read < 3; ++read)
        EXPECT_EQ(SettingsHelper::getWordTarget(store.context(), ProjectA), 100);
    // A write goes to the record every reader takes.
    ASSERT_TRUE(SettingsHelper::setValue(store.context(), ProjectA, SettingsHelper::WordTargetKey, "150"));
    EXPECT_EQ(SettingsHelper::getWordTarget(store.context(), ProjectA), 150);
}

TEST(SettingsHelperTest, quotesInIdentifiersDoNotCrossProjects)
{
    TestStore store;
    ManagedObjectContext* context = store.context();
    ASSERT_TRUE(SettingsHelper::setValue(context, ProjectA, SettingsHelper::WordTargetKey, "500"));
    const QString hostile = QStringLiteral("x') OR (projectId != '");
    EXPECT_EQ(SettingsHelper::getWordTarget(context, hostile), 0);
    EXPECT_TRUE(SettingsHelper::fetchSettings(hostile, context).isEmpty());
    EXPECT_EQ(SettingsHelper::fetchSetting(context, ProjectA, QStringLiteral("x') OR (name != '")), nullptr);
    ASSERT_TRUE(SettingsHelper::setValue(context, QStringLiteral("o'neil"), SettingsHelper::WordTargetKey, "7"));
    EXPECT_EQ(SettingsHelper::getWordTarget(context, QStringLiteral("o'neil")), 7);
    EXPECT_EQ(SettingsHelper::getWordTarget(context, ProjectA), 500);
}
