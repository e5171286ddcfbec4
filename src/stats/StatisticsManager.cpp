#include "StatisticsManager.h"

#include "core/ProjectStat.h"
#include "platform/store/ManagedObjectContext.h"

QList<ProjectStat*> StatisticsManager::fetchStats(ManagedObjectContext* context, const QString& projectId)
{
    FetchRequest request = ProjectStat::fetchRequest();
    request.setPredicate(QStringLiteral("(projectId == %@)"), {projectId});
    request.setSortDescriptors({{ProjectStat::StartTimeKey, false}});
    QList<ProjectStat*> stats;
    for (ManagedObject* object : context->fetch(request))
        stats.append(static_cast<ProjectStat*>(object));
    return stats;
}
