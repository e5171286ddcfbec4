#include "ProjectDelete.h"

#include "core/DbHelpers.h"
#include "core/Project.h"
#include "dialogs/CardDelete.h"
#include "platform/ViewController.h"
#include "platform/store/FetchedResultsController.h"
#include "platform/store/ManagedObjectContext.h"

std::shared_ptr<ProjectDelete> ProjectDelete::create(ViewController* controller, ManagedObjectContext* context,
                                                     FetchedResultsController* fetchedResultsController)
{
    return std::shared_ptr<ProjectDelete>(new ProjectDelete(controller, context, fetchedResultsController));
}

ProjectDelete::ProjectDelete(ViewController* controller, ManagedObjectContext* context,
                             FetchedResultsController* fetchedResultsController)
    : m_parentController(controller), m_managedObjectContext(context),
      m_fetchedResultsController(fetchedResultsController)
{
}

void ProjectDelete::deleteProject(Project* project)
{
    if (!project)
        return;
    setupObservers();
    const QString projectId = project->uniqueIdentifier();
    auto* alert = new Alert(AlertTitle, AlertMessage, AlertStyle::Alert);
    alert->setObjectName(AlertIdentifier);
    alert->setAccessibleName(AlertIdentifier);
    auto self = sharedSelf<ProjectDelete>();
    alert->addAction(CardDelete::DeleteTitle, AlertActionStyle::Destructive, [self, projectId] {
        self->tearDownObservers();
        self->handleDelete(projectId);
    });
    alert->addAction(CardDelete::CancelTitle, AlertActionStyle::Cancel, [self] { self->tearDownObservers(); });
    setDialogView(alert);
    alert->present(m_parentController);
}

void ProjectDelete::handleDelete(const QString& projectId)
{
    ManagedObjectContext* context = m_managedObjectContext;
    if (!context || projectId.isEmpty())
        return;
    DbHelpers::deleteProject(context, projectId);
    // The deleted project keeps its number and uses up none; the others follow from 1.
    if (m_fetchedResultsController) {
        DbHelpers::reorderCards(m_fetchedResultsController, std::nullopt, -1);
    } else {
        QList<ManagedObject*> projects;
        for (Project* project : DbHelpers::getProjects(context))
            projects.append(project);
        DbHelpers::reorderCards(projects, projects, -1, -1);
    }
    DbHelpers::saveManagedObjectContext(context, m_parentController);
}
