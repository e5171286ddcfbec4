#pragma once

#include "TestStore.h"
#include "TimeZoneGuard.h"
#include "core/ProjectItem.h"
#include "core/ProjectStat.h"
#include "core/SettingsHelper.h"
#include "core/StoreConstants.h"
#include "platform/store/ManagedObjectContext.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

// A fresh store with one project, and helpers that write records at moments of the writer's own clock.
class StatsFixture : public ::testing::Test {
protected:
    const QString projectId = QStringLiteral("PROJECT-1");

    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    ManagedObjectContext* context() { return store.context(); }

    // A local wall-clock moment; the store keeps it as UTC, as the editor's records are kept.
    static QDateTime local(int year, int month, int day, int hour = 12, int minute = 0)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute));
    }

    ProjectStat* addRecord(const QDateTime& start, qint64 seconds, qint64 words, const QString& id = {})
    {
        auto* stat = context()->insertNew<ProjectStat>();
        stat->setUniqueIdentifier(id.isEmpty() ? QStringLiteral("STAT-%1").arg(++m_records) : id);
        stat->setProjectId(projectId);
        stat->setProjectItemId(QStringLiteral("CARD-1"));
        if (start.isValid())
            stat->setStartTime(start.toUTC());
        stat->setTime(seconds);
        stat->setWordCount(words);
        return stat;
    }

    void save() { ASSERT_FALSE(context()->save().has_value()); }

    // One Story card holding the project's words.
    ProjectItem* addStoryCard(qint64 words)
    {
        auto* card = context()->insertNew<ProjectItem>();
        card->setUniqueIdentifier(QStringLiteral("CARD-%1").arg(++m_cards));
        card->setProjectId(projectId);
        card->setParentItemId(ItemIds::Top);
        card->setItemType(ProjectItemTypes::Story);
        card->setTitle(QStringLiteral("Chapter"));
        card->setWordCount(words);
        card->setDisplayOrder(m_cards);
        return card;
    }

    void setSetting(const QString& key, const QString& value)
    {
        ASSERT_TRUE(SettingsHelper::setValue(context(), projectId, key, value));
    }

    TestStore store;

private:
    int m_records = 0;
    int m_cards = 0;
};
