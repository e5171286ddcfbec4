#pragma once

#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectStat.h"
#include "core/StoreConstants.h"
#include "platform/store/ManagedObjectContext.h"

#include <QDateTime>
#include <QString>

// A project as a writer leaves it after some weeks: a title, Story cards holding the words, and writing records
// going back day by day from now, a few a day, with an off day now and then.
struct StatsSeed {
    QString projectId = QStringLiteral("PROJECT-SEED");
    QString title = QStringLiteral("The Salt Road");
    int cards = 24;
    qint64 wordsPerCard = 1250;
    int days = 30;
    int recordsPerDay = 3;
    // Stops after this many records; 0 for no limit.
    int maxRecords = 0;

    void fill(ManagedObjectContext* context, const QDateTime& now) const
    {
        auto* project = context->insertNew<Project>();
        project->setUniqueIdentifier(projectId);
        project->setProjectTitle(title);
        project->setLastModified(now.addSecs(-3 * 3600).toUTC());
        for (int c = 0; c < cards; ++c) {
            auto* card = context->insertNew<ProjectItem>();
            card->setUniqueIdentifier(QStringLiteral("%1-CARD-%2").arg(projectId).arg(c));
            card->setProjectId(projectId);
            card->setParentItemId(ItemIds::Top);
            card->setItemType(c % 4 == 3 ? ProjectItemTypes::Person : ProjectItemTypes::Story);
            card->setTitle(QStringLiteral("Chapter %1").arg(c + 1));
            card->setDisplayOrder(c + 1);
            card->setWordCount(wordsPerCard);
        }
        int record = 0;
        for (int day = 0; day < days; ++day) {
            // Every seventh day is a day off.
            if (day % 7 == 5)
                continue;
            for (int r = 0; r < recordsPerDay && (maxRecords == 0 || record < maxRecords); ++r) {
                auto* stat = context->insertNew<ProjectStat>();
                stat->setUniqueIdentifier(QStringLiteral("%1-STAT-%2").arg(projectId).arg(++record));
                stat->setProjectId(projectId);
                stat->setProjectItemId(QStringLiteral("%1-CARD-%2").arg(projectId).arg(record % cards));
                // Spread over the writer's day from nine in the morning.
                const QDateTime start =
                    QDateTime(now.date().addDays(-day), QTime(9, 15)).addSecs(qint64(r) * 12 * 3600 / recordsPerDay);
                stat->setStartTime(start.toUTC());
                stat->setTime(600 + (day * 137 + r * 71) % 2400);
                stat->setWordCount(80 + (day * 53 + r * 31) % 260 - (day % 11 == 4 ? 200 : 0));
            }
        }
    }
};
