#pragma once

#include <QList>
#include <QString>

class ManagedObjectContext;
class ProjectStat;

// Reads the writing records behind the statistics screens.
class StatisticsManager {
public:
    // Every writing record of the project, newest first; empty when the fetch fails.
    static QList<ProjectStat*> fetchStats(ManagedObjectContext* context, const QString& projectId);
};
